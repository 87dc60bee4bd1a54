#include "appicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace pelmar {

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, size > 16);
    const double s = size / 32.0;
    // Lines as thick as the drawing is large, never thinner than a pixel.
    const double line = std::max(1.0, s);
    // The page.
    painter.setPen(QPen(Qt::darkGray, line));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(2 * s, 1 * s, 28 * s, 30 * s));
    painter.setPen(QPen(Qt::gray, line));
    for (int line = 0; line < 3; ++line)
        painter.drawLine(QPointF(5 * s, (24 + 2.5 * line) * s),
                         QPointF(27 * s, (24 + 2.5 * line) * s));
    // The house.
    QPainterPath roof;
    roof.moveTo(16 * s, 3 * s);
    roof.lineTo(28 * s, 12 * s);
    roof.lineTo(4 * s, 12 * s);
    roof.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(178, 34, 34));
    painter.drawPath(roof);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRect(QRectF(7 * s, 12 * s, 18 * s, 9 * s));
    painter.setBrush(Qt::yellow);
    painter.drawRect(QRectF(14 * s, 15 * s, 4 * s, 6 * s));
    return image;
}

// Drawn afresh for each frame, which keeps it: a kept copy would hold pixmaps past
// the end of the application object, when nothing may own a pixmap any more.
QIcon appIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(drawIcon(32)));
    icon.addPixmap(QPixmap::fromImage(drawIcon(16)));
    return icon;
}

}  // namespace pelmar

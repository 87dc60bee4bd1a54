#include "headerpictures.h"

#include <QLinearGradient>
#include <QPainter>

namespace pictures {

namespace {

QImage drawHeader(int width, int height, const QString& subtitle) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(10, 40, 110));
    sky.setColorAt(1, QColor(40, 120, 190));
    painter.fillRect(image.rect(), sky);
    // A row of roofs along the lower edge.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 40));
    const int roof = height / 2;
    for (int x = -roof / 2; x < width; x += roof + roof / 3) {
        const QPointF house[] = {{double(x), double(height)},
                                 {double(x), height - roof * 0.6},
                                 {x + roof / 2.0, double(height - roof)},
                                 {double(x + roof), height - roof * 0.6},
                                 {double(x + roof), double(height)}};
        painter.drawPolygon(house, 5);
    }
    QFont font(QStringLiteral("Sans Serif"));
    font.setBold(true);
    font.setPixelSize(height * 2 / 5);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRect left(height / 3, 0, width / 2, height);
    painter.drawText(left, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("PELMAR"));
    font.setBold(false);
    font.setPixelSize(height / 4);
    painter.setFont(font);
    painter.setPen(QColor(220, 230, 255));
    painter.drawText(QRect(width / 2, 0, width / 2 - height / 3, height),
                     Qt::AlignRight | Qt::AlignVCenter, subtitle);
    return image;
}

}  // namespace

QImage drawHead1() {
    return drawHeader(1026, 90, QStringLiteral("Listora data entry"));
}
QImage drawHead2() {
    return drawHeader(1974, 160, QStringLiteral("Property details"));
}

}  // namespace pictures

#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace shell {

QSizeF screenTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize(800, 600);
    return QSizeF(toTwips(size.width()), toTwips(size.height()));
}

}  // namespace shell

#include "framefit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace shell {

namespace {

// The window's screen less its panels and task bars.
QRect availableArea(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

}  // namespace

QMargins frameMargins(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - outer.left(), client.top() - outer.top(),
            outer.right() - client.right(), outer.bottom() - client.bottom()};
}

QMargins coverAvailableArea(QWidget* window) {
    const QMargins frame = frameMargins(window);
    const QRect available = availableArea(window);
    // A top-level window's position is that of its frame; its size that of its client.
    window->move(available.topLeft());
    window->resize(available.marginsRemoved(frame).size());
    return frame;
}

void fitHeightToAvailableArea(QWidget* window) {
    const QRect client = availableArea(window).marginsRemoved(frameMargins(window));
    window->resize(window->width(), client.height());
}

}  // namespace shell

#include "followfocus.h"

#include <QApplication>
#include <QMdiArea>
#include <QScrollBar>

#include "shell/childwindow.h"
#include "shell/windows.h"

namespace entry {

namespace {

// Moves the scroll bar by as little as brings [low, high) inside [0, extent).
void scrollSpan(QScrollBar* bar, int low, int high, int extent) {
    if (high > extent)
        bar->setValue(bar->value() + std::min(high - extent, low));
    else if (low < 0)
        bar->setValue(bar->value() + low);
}

// Scrolls the work area so that the control lies inside its visible part.
void scrollIntoView(QMdiArea* area, QWidget* control) {
    if (!area->viewport()->isAncestorOf(control))
        return;
    QWidget* viewport = area->viewport();
    const QRect place(control->mapTo(viewport, QPoint(0, 0)), control->size());
    scrollSpan(area->verticalScrollBar(), place.top(), place.bottom() + 1, viewport->height());
    scrollSpan(area->horizontalScrollBar(), place.left(), place.right() + 1, viewport->width());
}

}  // namespace

void followFocus(shell::ChildWindow* window) {
    QObject::connect(qApp, &QApplication::focusChanged, window, [window](QWidget*, QWidget* now) {
        if (now && window->isAncestorOf(now))
            scrollIntoView(window->windows().workArea(), now);
    });
}

}  // namespace entry

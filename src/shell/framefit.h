#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace shell {

// The client rectangle of a top-level window whose frame (title bar and borders) has
// these margins, such that the whole window, frame included, covers `outer`.
QRect clientRectCovering(const QRect& outer, const QMargins& frame);

// The margins of the frame the window manager has drawn around a top-level window;
// none before it has drawn one, and none on a screen without a window manager.
QMargins frameMargins(const QWidget* window);

// The window's screen less its panels and task bars.
QRect availableArea(const QWidget* window);

// Places and sizes a top-level window so that the whole of it, title bar and borders
// included, covers the available area. Returns the frame margins it counted with.
QMargins coverAvailableArea(QWidget* window);

// Sets the window's height again, its top unchanged, so that the whole of it is as
// high as the available area.
void fitHeightToAvailableArea(QWidget* window);

}  // namespace shell

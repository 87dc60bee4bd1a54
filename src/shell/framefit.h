#pragma once

#include <QMargins>

class QWidget;

namespace shell {

// The margins of the frame the window manager has drawn around a top-level window;
// none before it has drawn one, and none on a screen without a window manager.
QMargins frameMargins(const QWidget* window);

// Places and sizes a top-level window so that the whole of it, title bar and borders
// included, covers its screen less the panels and task bars (the available area).
// Returns the frame margins it counted with.
QMargins coverAvailableArea(QWidget* window);

// Sets the window's height again, its top unchanged, so that the whole of it is as
// high as the available area.
void fitHeightToAvailableArea(QWidget* window);

}  // namespace shell

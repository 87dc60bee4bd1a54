#pragma once

#include <QIcon>
#include <QImage>

namespace pelmar {

// The icon's drawing at any size in pixels, on a transparent ground.
QImage drawIcon(int size);

// The program's icon, a house on a newspaper page, drawn at 32 and 16 pixels.
QIcon appIcon();

}  // namespace pelmar

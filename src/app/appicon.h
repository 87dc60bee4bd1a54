#pragma once

#include <QIcon>

namespace pelmar {

// The program's icon, a house on a newspaper page, drawn at 32 and 16 pixels.
QIcon appIcon();

}  // namespace pelmar

#include "lookupwindows.h"

#include "app/shell/windows.h"

namespace lookup {

void defineWindows(shell::Windows&) {}

}  // namespace lookup

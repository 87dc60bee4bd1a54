#include "entrywindows.h"

#include "app/shell/windows.h"

namespace entry {

void defineWindows(shell::Windows&) {}

}  // namespace entry

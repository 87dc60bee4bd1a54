#pragma once

namespace shell {
class Windows;
}

namespace entry {

// Makes the three entry windows known to the window rules by their names.
void defineWindows(shell::Windows& windows);

}  // namespace entry

#pragma once

namespace shell {
class Windows;
}

namespace lookup {

// Makes the lookup editors known to the window rules by their names.
void defineWindows(shell::Windows& windows);

}  // namespace lookup

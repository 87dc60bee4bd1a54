#pragma once

namespace shell {
class Windows;
}

namespace listings {

// Makes the window "Listings" known to the frame's window rules.
void defineWindows(shell::Windows& windows);

}  // namespace listings

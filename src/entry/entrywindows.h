#pragma once

namespace shell {
class Windows;
}

namespace entry {

// Makes the three entry windows known to the window rules by their names.
void defineWindows(shell::Windows& windows);

// The window "Data Entry" opens: that of the listing on its way (Part2 or Part3),
// else Part1 for a new one. Two listings at once would share the one record.
const char* listingWindow(const shell::Windows& windows);

}  // namespace entry

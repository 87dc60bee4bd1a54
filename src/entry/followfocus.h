#pragma once

namespace shell {
class ChildWindow;
}

namespace entry {

// Scrolls the main frame's work area so that whichever control of the window takes
// the focus can be seen, as the operator moves through a window taller than the
// screen with Enter or Tab.
void followFocus(shell::ChildWindow* window);

}  // namespace entry

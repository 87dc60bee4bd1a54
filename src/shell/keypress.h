#pragma once

#include <QWidget>
#include <functional>

namespace shell {

constexpr int kEnter = 13;

// Called with the character code of each key typed into a control, before the
// control receives it (Enter gives 13). It returns the code the control is to
// receive: the same to let the key through unchanged, another to change it, 0 to
// swallow it. Keys without a character (arrows, Tab) are not reported.
using KeyPressHandler = std::function<int(int code)>;

// Installs the handler on a text box or combo box.
void onKeyPress(QWidget* control, KeyPressHandler handler);

// The same for a handler that only reads the code.
void onKeyRead(QWidget* control, std::function<void(int code)> handler);

}  // namespace shell

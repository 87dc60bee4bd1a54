#pragma once

#include <QWidget>
#include <functional>

class QKeyEvent;

namespace shell {

constexpr int kEnter = 13;

// Enter or Return with exactly these modifiers; the numeric keypad's Enter, which
// comes with the keypad modifier besides, counts the same.
bool isEnter(const QKeyEvent* event, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

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

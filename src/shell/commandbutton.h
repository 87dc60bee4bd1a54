#pragma once

#include <QPushButton>

namespace shell {

// A button that Enter presses as well as Space when it has the focus: every Enter
// path of the entry windows ends on a button, and the next Enter must press it.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace shell

#include "commandbutton.h"

#include <QKeyEvent>

#include "keypress.h"

namespace shell {

void CommandButton::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event) && !event->isAutoRepeat()) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

}  // namespace shell

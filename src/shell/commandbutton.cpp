#include "commandbutton.h"

#include <QKeyEvent>

namespace shell {

void CommandButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && !event->isAutoRepeat()) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

}  // namespace shell

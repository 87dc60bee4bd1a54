#include "messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace shell {

namespace {

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Answer ScreenMessages::show(const Message& message) {
    QMessageBox box(boxIcon(message.icon), message.title, message.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    // An engine's error may hold "<" or "&": shown as it is, never as markup.
    box.setTextFormat(Qt::PlainText);
    if (message.buttons == Buttons::Ok) {
        box.setDefaultButton(box.addButton(QMessageBox::Ok));
        box.exec();
        return Answer::Ok;
    }
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    box.setDefaultButton(message.defaultAnswer == Answer::No ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

Answer MessageSink::inform(const QString& text, Icon icon) {
    return show({text, icon, Buttons::Ok, Answer::Ok});
}

bool MessageSink::askYes(const QString& text, Answer defaultAnswer) {
    return show({text, Icon::Question, Buttons::YesNo, defaultAnswer}) == Answer::Yes;
}

}  // namespace shell

#pragma once

#include <QString>

namespace shell {

enum class Icon { None, Information, Exclamation, Question, Critical };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

struct Message {
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;  // for Yes/No: the button Enter presses
    QString title = QStringLiteral("PelmarEntry");
};

// Where message boxes go: the screen in the program, a script in the tests. Made
// once at start-up and handed to the desk, which the windows reach it through.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows a modal box and returns the operator's answer.
    virtual Answer show(const Message& message) = 0;

    Answer inform(const QString& text, Icon icon = Icon::None);
    // Yes and No; Yes is the default unless told otherwise.
    bool askYes(const QString& text, Answer defaultAnswer = Answer::Yes);
};

// The real message boxes, modal over the window that is active.
class ScreenMessages : public MessageSink {
public:
    Answer show(const Message& message) override;
};

}  // namespace shell

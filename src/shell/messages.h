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

// Where message boxes go: the screen in the program, a script in the tests.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual Answer show(const Message& message) = 0;
};

// Shows a modal box through the current sink and returns the operator's answer.
Answer showMessage(const Message& message);
Answer inform(const QString& text, Icon icon = Icon::None);
// Yes and No; Yes is the default unless told otherwise.
bool askYes(const QString& text, Answer defaultAnswer = Answer::Yes);

// Replaces the sink (nullptr restores the real message boxes); returns the previous one.
MessageSink* setMessageSink(MessageSink* sink);

}  // namespace shell

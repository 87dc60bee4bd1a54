#include "scriptedmessages.h"

#include <QStringList>
#include <QTest>

ScriptedMessages::ScriptedMessages() : previous_(shell::setMessageSink(this)) {}

ScriptedMessages::~ScriptedMessages() {
    shell::setMessageSink(previous_);
}

QStringList ScriptedMessages::texts() const {
    QStringList all;
    for (const shell::Message& message : shown_)
        all.append(message.text);
    return all;
}

shell::Answer ScriptedMessages::show(const shell::Message& message) {
    shown_.append(message);
    if (whileShown_)
        whileShown_(message);
    if (message.buttons == shell::Buttons::Ok)
        return shell::Answer::Ok;
    if (answers_.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + message.text), __FILE__,
                     __LINE__);
        return shell::Answer::No;
    }
    return answers_.takeFirst();
}

#include "scriptedmessages.h"

#include <QStringList>
#include <QTest>

namespace {

ScriptedMessages* current = nullptr;

class ToCurrentScript : public shell::MessageSink {
public:
    shell::Answer show(const shell::Message& message) override {
        if (!current)
            qFatal("a message box with no script to answer it: %s", qPrintable(message.text));
        return current->show(message);
    }
};

}  // namespace

shell::MessageSink& scriptedMessages() {
    static ToCurrentScript sink;
    return sink;
}

ScriptedMessages::ScriptedMessages() : previous_(current) {
    current = this;
}

ScriptedMessages::~ScriptedMessages() {
    current = previous_;
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

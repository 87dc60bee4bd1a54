#pragma once

#include <QList>
#include <functional>

#include "shell/messages.h"

// Answers message boxes from a script and records every box shown, so that tests
// never block on a modal box. The one made last answers for as long as it lives.
class ScriptedMessages : public shell::MessageSink {
public:
    ScriptedMessages();
    ~ScriptedMessages() override;

    // The answers to the next Yes/No questions, in order. A question with no answer
    // left fails the test.
    void answer(std::initializer_list<shell::Answer> answers) { answers_.append(answers); }
    // Runs while a box is "open", as an operator looking at it.
    void whileShown(std::function<void(const shell::Message&)> action) {
        whileShown_ = std::move(action);
    }

    const QList<shell::Message>& shown() const { return shown_; }
    QStringList texts() const;
    const shell::Message& last() const { return shown_.last(); }
    void clear() { shown_.clear(); }

    shell::Answer show(const shell::Message& message) override;

private:
    QList<shell::Answer> answers_;
    QList<shell::Message> shown_;
    std::function<void(const shell::Message&)> whileShown_;
    ScriptedMessages* previous_;
};

// What a test hands the program as its messages: each box goes to the ScriptedMessages
// alive at that moment, so that a test may script its boxes before or after the
// program starts. A box with no script alive fails the test.
shell::MessageSink& scriptedMessages();

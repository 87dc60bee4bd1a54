#pragma once

#include "base/failure.h"

namespace db {

// A failure of the database: the engine's own text, ready to show.
class DbError : public base::Failure {
public:
    using base::Failure::Failure;
    DbError(const QString& text, bool outcomeUnknown)
        : Failure(text), outcomeUnknown_(outcomeUnknown) {}

    // The statement was sent and the connection died before its answer came: it may
    // or may not have taken effect. Every other failure took no effect.
    bool outcomeUnknown() const { return outcomeUnknown_; }

private:
    bool outcomeUnknown_ = false;
};

// The connection to the server broke after a statement had gone to it: whether the
// statement took effect is not known.
class AnswerLost : public DbError {
public:
    explicit AnswerLost(const QString& text) : DbError(text, true) {}
};

// The operator gave up waiting for the server. The action is abandoned; a statement
// that had gone to the server may or may not have taken effect.
class Cancelled : public DbError {
public:
    Cancelled() : DbError(QStringLiteral("The operator cancelled the wait for the server.")) {}
};

}  // namespace db

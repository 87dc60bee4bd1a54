#pragma once

#include "failure.h"

namespace db {

// A failure of the database: the engine's own text, ready to show.
class DbError : public Failure {
public:
    using Failure::Failure;
    DbError(const QString& text, bool outcomeUnknown)
        : Failure(text), outcomeUnknown_(outcomeUnknown) {}

    // The statement was sent and the connection died before its answer came: it may
    // or may not have taken effect. Every other failure took no effect.
    bool outcomeUnknown() const { return outcomeUnknown_; }

private:
    bool outcomeUnknown_ = false;
};

}  // namespace db

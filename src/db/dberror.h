#pragma once

#include "failure.h"

namespace db {

// A failure of the database: the engine's own text, ready to show.
class DbError : public Failure {
public:
    using Failure::Failure;
};

}  // namespace db

#pragma once

#include <functional>

#include "db/failure.h"

namespace shell {

// A failure of the windows themselves (an unreadable picture, an unknown window).
class Failure : public db::Failure {
public:
    using db::Failure::Failure;
};

// Runs one operator action. A failure shows its text in a message box and abandons
// that action only: the program and every open window go on as they were.
// Returns whether the action ran to its end.
bool runAction(const std::function<void()>& action);

// The same, as a slot for connect().
inline auto guarded(std::function<void()> action) {
    return [action = std::move(action)] { runAction(action); };
}

}  // namespace shell

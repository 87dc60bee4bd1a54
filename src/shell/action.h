#pragma once

#include <functional>

#include "base/failure.h"

class QObject;

namespace shell {

class MessageSink;

// A failure of the windows themselves (an unreadable picture, an unknown window).
class Failure : public base::Failure {
public:
    using base::Failure::Failure;
};

// Runs one operator action. A failure shows its text in a message box through
// `messages` and abandons that action only: the program and every open window go on
// as they were. Returns whether the action ran to its end.
bool runAction(MessageSink& messages, const std::function<void()>& action);

// The same for a handler of the child window that holds `context`, which speaks
// through its desk's messages: the window counts as busy while it runs, so that it
// is not deleted under it (childwindow.h).
bool runAction(QObject* context, const std::function<void()>& action);

// A handler of the window that holds `context`, as a slot for connect(). While it
// runs it does not start again: an accessibility client can press its button once
// more while the first run waits in a message box, and the second run would repeat
// what the first is about to do, such as storing a listing.
std::function<void()> guarded(QObject* context, std::function<void()> action);

}  // namespace shell

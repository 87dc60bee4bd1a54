#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

namespace shell {

// A failure outside the database (an unreadable picture, a failed export):
// its text is what the operator is shown.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
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

#pragma once

#include <QString>
#include <optional>

namespace shell {

// Where the server password is asked: a masked input box in the program, a script
// in the tests. Nothing: the operator cancelled. `refused`: the server turned down
// the password typed before.
class PasswordSource {
public:
    virtual ~PasswordSource() = default;
    virtual std::optional<QString> ask(const QString& server, bool refused) = 0;
};

// Asks the operator for the password of the server named; the text is never kept
// beyond the session that uses it.
std::optional<QString> askPassword(const QString& server, bool refused);

// Replaces the source (nullptr restores the input box); returns the previous one.
PasswordSource* setPasswordSource(PasswordSource* source);

}  // namespace shell

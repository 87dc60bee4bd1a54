#pragma once

#include <QString>
#include <stdexcept>

namespace base {

// A failure the operator is shown as it stands: the engine's or the system's own
// words. Each layer throws a kind of its own, derived from this one, so that the
// place that reports failures needs to know only this class.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

}  // namespace base

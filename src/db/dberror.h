#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// Every failure of the database layer: the engine's own text, ready to show.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

}  // namespace db

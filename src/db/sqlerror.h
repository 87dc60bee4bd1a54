#pragma once

#include <QSqlError>
#include <QString>

namespace db {

// What the operator is told of a failed statement: the engine's own words where it
// gave some, never an empty text.
QString errorText(const QSqlError& error);

}  // namespace db

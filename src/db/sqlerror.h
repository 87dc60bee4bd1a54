#pragma once

#include <QSqlError>
#include <QString>

namespace db {

// What the operator is told of a failed statement: what was being done and the
// engine's own words. Never an empty text, and never one that says nothing, such as
// SQLite's "not an error" for a statement the driver refused itself.
QString errorText(const QSqlError& error);

}  // namespace db

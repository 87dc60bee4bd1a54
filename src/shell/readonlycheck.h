#pragma once

#include <QString>

namespace shell {

// What the operator is told once at start-up when the database file, or the folder
// that SQLite writes its journal into, cannot be written: every Submit and Update
// would fail after the work was typed. Empty when both can be written.
QString readOnlyWarning(const QString& dbPath);

}  // namespace shell

#pragma once

#include <QString>

namespace db {

// The versions of the database libraries the program runs with, as "About" names
// them: "SQLite 3.40.1, libpq 15.10".
QString engineVersions();

}  // namespace db

#pragma once

#include <QString>

namespace db {

// The program writes its statements in the Jet dialect; the few that SQLite reads
// otherwise are rewritten here, and every other text runs as written.
QString toSqlite(const QString& statement);

}  // namespace db

#pragma once

#include <QString>

namespace db {

// The program writes its statements in the Jet dialect; the few that SQLite reads
// otherwise are rewritten here, and every other text runs as written.
QString toSqlite(const QString& statement);

// The same for a PostgreSQL server, whose tables carry hidden columns: "Select *"
// from one of the five tables names the program's columns and gives the rows in
// the order they were stored.
QString toPostgres(const QString& statement);

}  // namespace db

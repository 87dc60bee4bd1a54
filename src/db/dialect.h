#pragma once

#include <QString>

namespace db {

// The program writes its statements in the Jet dialect; the few that SQLite reads
// otherwise are rewritten here, and every other text runs as written.
QString toSqlite(const QString& statement);

// The same for a PostgreSQL server, whose tables carry hidden columns: "Select *"
// from one of the five tables names the program's columns and gives the rows in
// the order they were stored. With a row token, "Insert into Data values(...)"
// becomes a call of the server's function that stores a listing (schema.h): it
// stores its row once however often it runs, a second run with the same token
// writing the values into the row of the first, and it returns a row for each row
// stored, none when the server stored nothing.
QString toPostgres(const QString& statement, const QString& rowToken = {});

}  // namespace db

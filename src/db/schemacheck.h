#pragma once

namespace db {
class Connection;
}

namespace db::schema {

// Refuses a database that lacks a table of the program, or whose table lacks a
// column the program reads or writes, or holds its columns in another order (the
// rows are inserted by position). Names are compared regardless of case. Asks
// through result sets only, so that every engine is checked alike. Throws DbError
// with a text that names what is missing and the tool that creates a database.
void checkTables(Connection& connection);

}  // namespace db::schema

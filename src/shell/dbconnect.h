#pragma once

#include <QString>

#include "db/connection.h"

// The start-up module: where the program lives, and the one connection that every
// window borrows for the whole run.
namespace dbConnect {

// The executable's folder; the database, the pictures and the workbook lie in it.
const QString& appFolder();
// appFolder() followed directly by "/Pelmar.mdb".
const QString& DbPath();
db::Connection& Conn();

// The connection text for a database path.
QString connectionText(const QString& dbPath);

// Start-up: works out DbPath for the folder and opens Conn on it, or on the server
// that Pelmar.ini in the folder names (asking for a password when the server wants
// one that libpq finds nowhere). Throws db::DbError when the setting cannot be read,
// the database cannot be opened or lacks a table or column of the program; nothing
// is created.
void startUp(const QString& folder);

}  // namespace dbConnect

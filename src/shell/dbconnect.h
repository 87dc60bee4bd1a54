#pragma once

#include <QString>

#include "db/connection.h"

// The start-up module: where the program lives, and the one connection that every
// window borrows for the whole run.
namespace dbConnect {

// The desk folder (shell/deskfolder.h); the database, Pelmar.ini and the workbook lie
// in it, and the header pictures when it has its own.
const QString& appFolder();
// The installed data folder beside the executable: the header pictures.
const QString& dataFolder();
// appFolder() followed directly by "/Pelmar.mdb".
const QString& DbPath();
db::Connection& Conn();

// The connection text for a database path.
QString connectionText(const QString& dbPath);

// Start-up: works out the desk folder and DbPath for the executable's folder and opens
// Conn on it, or on the server that the office's setting `systemSetting` or Pelmar.ini
// in the desk folder names (asking for a password when the server wants one that
// libpq finds nowhere). Throws db::DbError
// when the setting cannot be read, the database cannot be opened or lacks a table or
// column of the program. Nothing is created unless the operator agrees to a new
// database in a desk folder that holds none.
void startUp(const QString& exeFolder, const QString& systemSetting = QString());

}  // namespace dbConnect

#pragma once

#include <QByteArray>
#include <QString>

namespace shell {

// The folder of the running executable, from the bytes of its path as the file
// system gives them (the database, the pictures and the workbook lie in it).
// Throws db::DbError naming the folder when its name is no text the program can
// use again to open a file in it, rather than look for the database elsewhere.
QString programFolder();

// The same for an executable's path given as the file system's bytes.
QString folderOfExecutable(const QByteArray& executablePath);

}  // namespace shell

#pragma once

#include <QString>

// Where a desk's files lie: the database, Pelmar.ini and Data.xls in the desk folder,
// the header pictures there or else in the installed data folder.
namespace shell {

class MessageSink;

// The executable's folder itself when it holds Pelmar.mdb or Pelmar.ini, as every
// desk run from its build folder does; otherwise, as for an installed program,
// PelmarEntry in the operator's documents folder. The folder given comes back
// unchanged, a trailing separator included.
QString deskFolder(const QString& exeFolder);

// The installed data folder, found relative to the executable's folder, so that an
// installation moved elsewhere as a whole still finds its pictures.
QString dataFolder(const QString& exeFolder);

// The office's setting for every desk of the machine, found relative to the
// executable's folder as the installation lays it out: /etc/pelmarentry/Pelmar.ini
// for a program in /usr/bin, PREFIX/etc/pelmarentry/Pelmar.ini for one in PREFIX/bin.
QString systemSettingPath(const QString& exeFolder);

// The header picture of that name: the desk folder's own when it is there, else the
// installed one.
QString picturePath(const QString& deskFolder, const QString& dataFolder, const QString& name);

// When the desk folder holds neither a database nor Pelmar.ini, asks the operator
// whether to create a new database there with the sample lookup entries, and creates
// it on Yes. On No nothing is created: opening then fails as for any missing database.
// Throws db::DbError when the folder or the database cannot be created.
void offerNewDatabase(const QString& deskFolder, MessageSink& messages);

// Makes the desk folder of a desk that works on a server, where the listing whose
// storing is unconfirmed and the workbook are kept. A folder that cannot be made is
// said so by the first write into it.
void keepDeskFolder(const QString& deskFolder);

}  // namespace shell

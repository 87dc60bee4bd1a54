#include "readonlycheck.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

namespace shell {

namespace {

// Asked as the program itself, by its effective user, and of the file system: a
// read-only mount refuses even a user whom the permissions would let write.
bool canWrite(const QString& path, int mode) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
}

}  // namespace

QString readOnlyWarning(const QString& dbPath) {
    const QString folder = QFileInfo(dbPath).absolutePath();
    QString what;
    if (!canWrite(dbPath, W_OK))
        what = QStringLiteral("The database file '%1' cannot be written").arg(dbPath);
    else if (!canWrite(folder, W_OK | X_OK))
        what = QStringLiteral(
                   "The folder '%1' of the database cannot be written (the database needs it "
                   "for a journal whenever it stores something)")
                   .arg(folder);
    else
        return {};
    return what + QStringLiteral(
                      ". The listings can be looked at and exported, but nothing typed can be "
                      "stored: every Submit, Update and Delete will fail. To store listings, "
                      "close the program, let the file and its folder be written (or copy them "
                      "to a place that can be written), and start it again.");
}

}  // namespace shell

#include "programfolder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFile>

#include "db/dberror.h"

namespace shell {

QString folderOfExecutable(const QByteArray& executablePath) {
    const qsizetype slash = executablePath.lastIndexOf('/');
    const QByteArray bytes =
        slash <= 0 ? executablePath.left(slash + 1) : executablePath.left(slash);
    const QString folder = QFile::decodeName(bytes);
    // A name that is not valid UTF-8 comes back with replacement characters: a path
    // built from it names some other place, or none.
    if (bytes.isEmpty() || QFile::encodeName(folder) != bytes)
        throw db::DbError(
            QStringLiteral("The program lies in a folder whose name is not valid text (%1), "
                           "so it cannot find its database, pictures or workbook in it. Nothing "
                           "was opened. Rename the folder, or move the program's folder to one "
                           "with a plain name, and start the program again.")
                .arg(folder));
    return folder;
}

QString programFolder() {
    // The kernel's own bytes; Qt's application path is decoded text, empty for a
    // folder whose name does not decode.
    QByteArray path(4096, '\0');
    const ssize_t size = ::readlink("/proc/self/exe", path.data(), std::size_t(path.size()));
    if (size <= 0 || size >= path.size())
        return QCoreApplication::applicationDirPath();
    path.truncate(size);
    return folderOfExecutable(path);
}

}  // namespace shell

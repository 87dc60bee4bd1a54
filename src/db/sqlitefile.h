#pragma once

#include <QFileInfo>
#include <QString>
#include <QUrl>

namespace db {

// The name under which SQLite opens exactly the existing file at `path` and never
// creates one; it needs the connect option QSQLITE_OPEN_URI. A plain name would not
// do: SQLite reads one that begins with "file:" as a URI of some other file.
inline QString existingFileUri(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           QStringLiteral("?mode=rw");
}

}  // namespace db

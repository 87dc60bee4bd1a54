#include "engineversions.h"

#include <libpq-fe.h>
#include <sqlite3.h>

namespace db {

QString engineVersions() {
    // libpq gives its version as a number: major times 10,000 plus the minor.
    const int pq = PQlibVersion();
    return QStringLiteral("SQLite %1, libpq %2.%3")
        .arg(QString::fromLatin1(sqlite3_libversion()))
        .arg(pq / 10000)
        .arg(pq % 10000);
}

}  // namespace db

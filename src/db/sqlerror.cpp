#include "sqlerror.h"

namespace db {

QString errorText(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

}  // namespace db

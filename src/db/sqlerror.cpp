#include "sqlerror.h"

namespace db {

namespace {

// Texts an engine gives for a failure that it did not see itself: the driver stopped
// the statement (SQLite's "not an error" is the text of its success code).
bool saysNothing(const QString& text) {
    return text.isEmpty() ||
           text.compare(QLatin1String("not an error"), Qt::CaseInsensitive) == 0 ||
           text.compare(QLatin1String("unknown error"), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString errorText(const QSqlError& error) {
    const QString engine = error.databaseText().trimmed();
    // What the driver was doing: "Unable to execute statement", "Unable to fetch row".
    const QString doing = error.driverText().trimmed();
    if (!saysNothing(engine))
        return doing.isEmpty() ? engine : doing + QStringLiteral(": ") + engine;
    const QString code = error.nativeErrorCode().isEmpty()
                             ? QString()
                             : QStringLiteral(" (engine code %1)").arg(error.nativeErrorCode());
    if (!doing.isEmpty())
        return doing + QStringLiteral(": the database engine gave no reason") + code +
               QLatin1Char('.');
    return QStringLiteral("The database engine reported a failure without giving a reason") + code +
           QLatin1Char('.');
}

}  // namespace db

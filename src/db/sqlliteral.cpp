#include "sqlliteral.h"

namespace db {

QString sqlTextBody(const QString& value) {
    QString body = value;
    return body.replace(QLatin1Char('\''), QLatin1String("''"));
}

QString sqlText(const QString& value) {
    return QLatin1Char('\'') + sqlTextBody(value) + QLatin1Char('\'');
}

}  // namespace db

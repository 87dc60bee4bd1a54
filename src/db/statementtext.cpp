#include "statementtext.h"

#include "sqlliteral.h"

namespace db {

QString insertText(const QStringList& values) {
    QStringList literals;
    for (const QString& value : values)
        literals.append(sqlText(value));
    return QStringLiteral("Insert into Data values(") + literals.join(QLatin1Char(',')) +
           QStringLiteral(");");
}

}  // namespace db

#include "dialect.h"

#include <QRegularExpression>
#include <QStringList>

#include "schema.h"
#include "sqlliteral.h"

namespace db {

namespace {

constexpr auto kOptions =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

QString selectAll(const QString& statement) {
    static const QRegularExpression select(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\w+)\\b(.*?)\\s*;?\\s*$"), kOptions);
    const QRegularExpressionMatch match = select.match(statement);
    const schema::Table* table = match.hasMatch() ? schema::tableNamed(match.captured(1)) : nullptr;
    if (!table)
        return statement;
    return QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
        .arg(table->columns.join(QStringLiteral(", ")), match.captured(1), match.captured(2),
             schema::kStoredOrder);
}

}  // namespace

QString toSqlite(const QString& statement) {
    // Jet's "Delete * From T ..." names the columns to delete, which SQLite refuses.
    static const QRegularExpression jetDelete(QStringLiteral("^\\s*delete\\s+\\*\\s+from\\s+"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString text = statement;
    return text.replace(jetDelete, QStringLiteral("DELETE FROM "));
}

QString toPostgres(const QString& statement) {
    return selectAll(toSqlite(statement));
}

}  // namespace db

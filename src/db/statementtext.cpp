#include "statementtext.h"

namespace db {

namespace {

// Between single quotes, each quote inside doubled: O'BRIEN reads 'O''BRIEN'.
QString literal(const QString& value) {
    QString body = value;
    return QLatin1Char('\'') + body.replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

QStringList literals(const QStringList& values) {
    QStringList quoted;
    for (const QString& value : values)
        quoted.append(literal(value));
    return quoted;
}

}  // namespace

QString insertText(const QStringList& values) {
    return QStringLiteral("Insert into Data values(") + literals(values).join(QLatin1Char(',')) +
           QStringLiteral(");");
}

QString tableReadText(const QString& table, bool forChoices) {
    return (forChoices ? QStringLiteral("Select * from ") : QStringLiteral("Select * From ")) +
           table + QLatin1Char(';');
}

QString findText(const QString& table, const QString& key, const QString& value) {
    return QStringLiteral("Select * from %1 where %2=%3;").arg(table, key, literal(value));
}

QString lookupInsertText(const QString& table, const QStringList& values) {
    return QStringLiteral("insert into %1 values (%2);")
        .arg(table, literals(values).join(QLatin1Char(',')));
}

QString updateText(const QString& table, const QStringList& columns, const QStringList& values,
                   const QString& key) {
    const QStringList quoted = literals(values);
    QStringList assignments;
    for (int position = 0; position < quoted.size(); ++position)
        assignments.append(columns.value(position) + QLatin1Char('=') + quoted.at(position));
    return QStringLiteral("Update %1 Set %2 Where %3=%4;")
        .arg(table, assignments.join(QStringLiteral(", ")), key, quoted.value(0));
}

QString deleteText(const QString& table, const QString& key, const QString& value) {
    return QStringLiteral("Delete * From %1 Where %2=%3;").arg(table, key, literal(value));
}

}  // namespace db

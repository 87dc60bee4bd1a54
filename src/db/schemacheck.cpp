#include "schemacheck.h"

#include <QStringList>

#include "connection.h"
#include "dberror.h"
#include "schema.h"
#include "serversession.h"

namespace db::schema {

namespace {

QString namesOf(const QStringList& names) {
    constexpr int kNamed = 4;
    if (names.size() <= kNamed + 1)
        return names.join(QStringLiteral(", "));
    return QStringLiteral("%1 and %2 more")
        .arg(names.first(kNamed).join(QStringLiteral(", ")))
        .arg(names.size() - kNamed);
}

// The table's columns in order, as the engine holds them. Throws DbError.
QStringList columnsOf(const Table& table, Connection& connection) {
    // From the catalog: on a server a desk may not read every column (the token).
    const QString catalog =
        connection.isServer()
            ? QStringLiteral(
                  "SELECT attname FROM pg_attribute WHERE attrelid = to_regclass($1) "
                  "AND attnum > 0 AND NOT attisdropped ORDER BY attnum")
            : QStringLiteral("SELECT name FROM pragma_table_info(?)");
    QStringList columns;
    for (const QStringList& row : connection.select(catalog, {table.name}))
        columns.append(row.value(0));
    if (columns.isEmpty())
        throw DbError(QStringLiteral("there is no such table"));
    return columns;
}

// What is wrong with one table, or nothing.
QString faultOf(const Table& table, Connection& connection) {
    QStringList columns;
    try {
        columns = columnsOf(table, connection);
    } catch (const DbError& error) {
        return QStringLiteral("the table %1 cannot be read (%2)").arg(table.name, error.text());
    }
    // The rows are inserted by position, the hidden columns after the program's.
    QStringList expected = table.columns;
    if (connection.isServer())
        expected += hiddenColumns(table);
    QStringList lacking;
    for (const QString& column : expected) {
        if (!columns.contains(column, Qt::CaseInsensitive))
            lacking.append(column);
    }
    if (!lacking.isEmpty())
        return QStringLiteral("the table %1 lacks the column%2 %3")
            .arg(table.name, lacking.size() > 1 ? QStringLiteral("s") : QString(),
                 namesOf(lacking));
    if (columns.size() != expected.size())
        return QStringLiteral("the table %1 has %2 columns instead of %3")
            .arg(table.name)
            .arg(columns.size())
            .arg(expected.size());
    for (int position = 0; position < columns.size(); ++position) {
        if (columns.at(position).compare(expected.at(position), Qt::CaseInsensitive) != 0)
            return QStringLiteral("the columns of the table %1 are not in the program's order")
                .arg(table.name);
    }
    return {};
}

}  // namespace

void checkTables(Connection& connection) {
    QStringList faults;
    for (const Table& table : tables()) {
        if (QString fault = faultOf(table, connection); !fault.isEmpty())
            faults.append(fault);
    }
    if (faults.isEmpty())
        return;
    const QString database = connection.isServer()
                                 ? QStringLiteral("The %1").arg(connection.server().describe())
                                 : QStringLiteral("'%1'").arg(connection.path());
    throw DbError(QStringLiteral("%1 is not a database of this program: %2.\n"
                                 "The tool pelmar-newdb creates a new one with the five tables.")
                      .arg(database, faults.join(QStringLiteral("; "))));
}

}  // namespace db::schema

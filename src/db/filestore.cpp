#include "filestore.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "corrections.h"
#include "dberror.h"
#include "schema.h"
#include "sqlitedb.h"
#include "statementtext.h"

namespace db {

namespace {

// The values as a JSON array, a NULL as null: the history tells it from an empty text.
QString json(const QStringList& values) {
    QJsonArray array;
    for (const QString& value : values)
        array.append(value.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(value));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

bool sameValue(const QString& a, const QString& b) {
    return a == b && a.isNull() == b.isNull();
}

// "C = ?, ..." or "coalesce(C, '') = ? AND ...": one piece per column of Data.
QString perColumn(const QString& piece, const QString& joint) {
    QStringList pieces;
    for (const QString& column : schema::dataColumns())
        pieces.append(piece.arg(column));
    return pieces.join(joint);
}

QStringList shownValues(const QStringList& shown) {
    QStringList values;
    for (int k = 0; k < kColumnCount; ++k)
        values.append(k < shown.size() ? shown.at(k) : QStringLiteral(""));
    return values;
}

}  // namespace

QString FileStore::name(const QString& spelled) const {
    return quotedName(spelled);
}

QString FileStore::binaryMarks() const {
    return perColumn(QStringLiteral("(typeof(%1) = 'blob')"), QStringLiteral(" || "));
}

QString FileStore::lookupRows(const QString& table, const QString& condition) const {
    // Every column the table has, in the order its rows were stored: a file's table
    // holds the program's columns and no others.
    return QStringLiteral("SELECT * FROM %1%2").arg(quotedName(table), condition);
}

bool FileStore::hasTable(const QString& name) {
    return connection_
               .select(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                      "AND name = ? COLLATE NOCASE"),
                       {name})
               .value(0)
               .value(0) != QLatin1String("0");
}

bool FileStore::hasCorrections() {
    return hasTable(schema::kCorrections);
}

long long FileStore::storeListing(const Listing& listing) {
    const QStringList values = listing.values();
    traced(insertText(values));
    // Data may have been altered and mended by another program since the last try.
    connection_.refreshSchema();
    long long stored = 0;
    connection_.transaction([&] {
        // SQLite would give the next row one past the largest rowid, which after the
        // newest listing was deleted is that listing's number again.
        const QString lastRecorded =
            hasCorrections() ? QStringLiteral("(SELECT max(ListingId) FROM Corrections)")
                             : QStringLiteral("0");
        const QString next =
            connection_
                .select(QStringLiteral("SELECT max(coalesce((SELECT max(rowid) FROM Data), 0), "
                                       "coalesce(%1, 0)) + 1")
                            .arg(lastRecorded))
                .value(0)
                .value(0);
        // By position, as every program writes Data: a table whose columns were altered
        // refuses the row rather than storing it in the wrong places.
        stored = connection_.change(
            QStringLiteral("INSERT INTO Data VALUES (%1)").arg(parameters(1, kColumnCount)),
            values);
        if (stored == 1)
            connection_.change(
                QStringLiteral("UPDATE Data SET rowid = ? WHERE rowid = last_insert_rowid()"),
                {next});
    });
    return stored;
}

QString FileStore::searchedTable() {
    // The file's index holds the searched text of every row, a fraction of the table;
    // a file made before it is searched through the whole table until it is added.
    // Asked each time: another program may have dropped it.
    return hasSearchIndex() ? QStringLiteral("Data INDEXED BY ") + schema::kSearchIndex
                            : QStringLiteral("Data");
}

QString FileStore::missingSearchIndex() {
    if (hasSearchIndex())
        return {};
    QString statement;
    schema::addSearchIndex(false, [&statement](const QString& made) { statement = made; });
    return statement;
}

bool FileStore::hasSearchIndex() {
    return connection_
               .select(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                                      "AND name = ? COLLATE NOCASE"),
                       {schema::kSearchIndex})
               .value(0)
               .value(0) != QLatin1String("0");
}

QString FileStore::searchCondition(const QString& folded, int, QStringList& parameters) {
    parameters.append(folded);
    return QStringLiteral("instr(%1, ?) > 0").arg(schema::foldedSearchExpression(false));
}

Store::Outcome FileStore::restoreRow(ListingId id, const QStringList& deleted) {
    Outcome outcome = Outcome::Changed;
    const QString number = QString::number(id);
    connection_.transaction([&] {
        // Gone still, and deleted with exactly these values as the latest record of it.
        const QList<QStringList> latest = connection_.select(
            QStringLiteral("SELECT (SELECT count(*) FROM Data WHERE rowid = ?), Change, "
                           "ValuesBefore FROM Corrections WHERE ListingId = ? ORDER BY "
                           "CorrectedAt DESC, rowid DESC LIMIT 1"),
            {number, number});
        if (latest.isEmpty() ||
            latest.first() != QStringList{QStringLiteral("0"), QStringLiteral("deleted"),
                                          json(shownValues(deleted))})
            return;
        QStringList values{number};
        values += shownValues(deleted);
        connection_.change(
            QStringLiteral("INSERT INTO Data (rowid, %1) VALUES (?, %2)")
                .arg(schema::dataColumns().join(QStringLiteral(", ")), parameters(1, kColumnCount)),
            values);
        connection_.change(QStringLiteral("INSERT INTO Corrections VALUES (?, strftime('%Y-%m-%d "
                                          "%H:%M:%f', 'now'), NULL, 'restored', NULL, ?)"),
                           {number, json(shownValues(deleted))});
        outcome = Outcome::Stored;
    });
    return outcome;
}

Store::Outcome FileStore::change(ListingId id, const QStringList& shown,
                                 const QStringList* wanted) {
    // The row must hold exactly what was shown, a NULL where a NULL was read.
    const QStringList before = shownValues(shown);
    const QString where =
        QStringLiteral(" WHERE rowid = ? AND ") +
        // As text, as it was read: a BLOB or a number another program
        // stored compares by the text it reads as.
        perColumn(QStringLiteral("CAST(%1 AS TEXT) IS ?"), QStringLiteral(" AND "));
    // Only the cells that change are written: every other one stays as it is stored.
    QStringList values, assignments;
    for (int k = 0; wanted && k < kColumnCount; ++k) {
        if (sameValue(wanted->value(k), before.at(k)))
            continue;
        assignments.append(schema::dataColumns().at(k) + QStringLiteral(" = ?"));
        values.append(wanted->value(k));
    }
    if (wanted && assignments.isEmpty())
        return Outcome::Stored;
    values.append(QString::number(id));
    values += before;
    const QString statement =
        wanted ? QStringLiteral("UPDATE Data SET ") + assignments.join(QStringLiteral(", ")) + where
               : QStringLiteral("DELETE FROM Data") + where;
    // The write lock first: between the test of the row and the record nobody else writes.
    Outcome outcome = Outcome::Changed;
    connection_.transaction([&] {
        if (connection_.change(statement, values) != 1)
            return;
        connection_.change(
            QStringLiteral("INSERT INTO Corrections VALUES (?, strftime('%Y-%m-%d "
                           "%H:%M:%f', 'now'), NULL, ?, ?, ?)"),
            {QString::number(id), wanted ? QStringLiteral("corrected") : QStringLiteral("deleted"),
             json(before), wanted ? json(*wanted) : QString()});
        outcome = Outcome::Stored;
    });
    return outcome;
}

}  // namespace db

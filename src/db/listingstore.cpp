#include "listingstore.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

#include "connection.h"
#include "corrections.h"
#include "dberror.h"
#include "recordset.h"
#include "schema.h"
#include "sqlliteral.h"

namespace db {

namespace {

QList<ListingId> parseIds(const QString& joined) {
    QList<ListingId> ids;
    for (QStringView piece : QStringView(joined).split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids.append(piece.toLongLong());
    return ids;
}

QString idList(const QList<ListingId>& ids) {
    QStringList texts;
    for (ListingId id : ids)
        texts.append(QString::number(id));
    return texts.join(QLatin1Char(','));
}

QString literals(const QStringList& values) {
    QStringList texts;
    for (const QString& value : values)
        texts.append(sqlText(value));
    return texts.join(QLatin1Char(','));
}

QString serverArray(const QStringList& values) {
    return QStringLiteral("ARRAY[%1]::text[]").arg(literals(values));
}

QString json(const QStringList& values) {
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(values)).toJson(QJsonDocument::Compact));
}

// "C = 'v' AND ...": the row holds what was shown; a missing value reads as empty.
QString stillShown(const QStringList& shown) {
    QStringList tests;
    const QStringList& columns = schema::dataColumns();
    for (int k = 0; k < columns.size(); ++k)
        tests.append(
            QStringLiteral("coalesce(%1, '') = %2").arg(columns.at(k), sqlText(shown.value(k))));
    return tests.join(QStringLiteral(" AND "));
}

QString firstValue(const QString& statement, Connection& connection) {
    Recordset rs;
    rs.open(statement, connection);
    const QString value = rs.eof() ? QString() : rs.value(0);
    rs.close();
    return value;
}

}  // namespace

QString ListingStore::identity() const {
    return connection_.isServer() ? schema::kStoredOrder : QStringLiteral("rowid");
}

QString ListingStore::columnList() const {
    return identity() + QStringLiteral(", ") + schema::dataColumns().join(QStringLiteral(", "));
}

QList<StoredListing> ListingStore::rows(const QString& statement) {
    QList<StoredListing> found;
    Recordset rs;
    rs.open(statement, connection_);
    // Asked once: on a file each asking builds the statement's whole field list.
    const int fields = rs.fieldCount();
    for (; !rs.eof(); rs.moveNext()) {
        StoredListing row;
        row.id = rs.value(0).toLongLong();
        for (int k = 1; k < fields; ++k)
            row.values.append(rs.value(k));
        found.append(row);
    }
    rs.close();
    return found;
}

QList<StoredListing> ListingStore::newest(int limit) {
    return rows(QStringLiteral("SELECT %1 FROM Data ORDER BY %2 DESC LIMIT %3")
                    .arg(columnList(), identity())
                    .arg(limit));
}

QString ListingStore::searchCondition(const QString& search) {
    if (connection_.isServer()) {
        // LIKE, which the trigram index serves; the text's own wildcards stand for
        // themselves.
        QString pattern = search;
        for (const QString& special :
             {QStringLiteral("\\"), QStringLiteral("%"), QStringLiteral("_")})
            pattern.replace(special, QLatin1Char('\\') + special);
        return QStringLiteral(" WHERE %1 LIKE lower(%2)")
            .arg(schema::searchExpression(true),
                 sqlText(QLatin1Char('%') + pattern + QLatin1Char('%')));
    }
    // The file's index holds the searched text of every row, a fraction of the table;
    // a file made before it is searched through the whole table until the index is
    // added (with Corrections, by the first correction).
    if (!searchIndexed_)
        searchIndexed_ =
            firstValue(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                                      "AND name = %1 COLLATE NOCASE")
                           .arg(sqlText(schema::kSearchIndex)),
                       connection_) != QLatin1String("0");
    return QStringLiteral("%1 WHERE instr(%2, lower(%3)) > 0")
        .arg(searchIndexed_ ? QStringLiteral(" INDEXED BY ") + schema::kSearchIndex : QString(),
             schema::searchExpression(false), sqlText(search));
}

QList<ListingId> ListingStore::identitiesIn(const QString& from, const QString& id) {
    const bool server = connection_.isServer();
    // In the order the rows come, which costs no sort on either engine; newest first here.
    QList<ListingId> ids = parseIds(
        firstValue(QStringLiteral("SELECT %1(%2%3, ',') FROM %4")
                       .arg(server ? QStringLiteral("string_agg") : QStringLiteral("group_concat"),
                            id, server ? QStringLiteral("::text") : QString(), from),
                   connection_));
    std::sort(ids.begin(), ids.end(), std::greater<>());
    return ids;
}

QList<ListingId> ListingStore::identities(const QString& search) {
    return identitiesIn(
        QStringLiteral("Data") + (search.isEmpty() ? QString() : searchCondition(search)),
        identity());
}

QList<ListingId> ListingStore::olderThan(ListingId before, int limit, const QString& search) {
    QString from = QStringLiteral("Data");
    if (!search.isEmpty())
        from += searchCondition(search);
    if (before > 0)
        from += QStringLiteral(" %1 %2 < %3")
                    .arg(search.isEmpty() ? QStringLiteral("WHERE") : QStringLiteral("AND"),
                         identity(), QString::number(before));
    return identitiesIn(
        QStringLiteral("(SELECT %1 AS id FROM %2 ORDER BY %1 DESC LIMIT %3) AS older")
            .arg(identity(), from)
            .arg(limit),
        QStringLiteral("id"));
}

bool ListingStore::searchesInParts() const {
    return connection_.isServer();
}

QList<StoredListing> ListingStore::read(const QList<ListingId>& ids) {
    if (ids.isEmpty())
        return {};
    const QList<StoredListing> found = rows(QStringLiteral("SELECT %1 FROM Data WHERE %2 IN (%3)")
                                                .arg(columnList(), identity(), idList(ids)));
    QHash<ListingId, qsizetype> at;
    for (qsizetype i = 0; i < found.size(); ++i)
        at.insert(found.at(i).id, i);
    QList<StoredListing> ordered;
    for (ListingId id : ids) {
        if (at.contains(id))
            ordered.append(found.at(at.value(id)));
    }
    return ordered;
}

bool ListingStore::hasCorrections() {
    if (connection_.isServer())
        return firstValue(QStringLiteral("SELECT to_regclass('corrections') IS NOT NULL AND "
                                         "to_regprocedure('%1') IS NOT NULL AND "
                                         "to_regprocedure('%2') IS NOT NULL")
                              .arg(schema::kCorrectFunction, schema::kDeleteFunction),
                          connection_) == QLatin1String("t");
    return firstValue(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                     "AND name = 'Corrections' COLLATE NOCASE"),
                      connection_) != QLatin1String("0");
}

ListingStore::Outcome ListingStore::fileChange(const QString& change, ListingId id,
                                               const QStringList& shown,
                                               const QStringList* wanted) {
    // The write lock first: between the test of the row and the record nobody else writes.
    connection_.execute(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        connection_.execute(change + QStringLiteral(" WHERE rowid = %1 AND ").arg(id) +
                            stillShown(shown));
        const bool done =
            firstValue(QStringLiteral("SELECT changes()"), connection_) == QLatin1String("1");
        if (done)
            connection_.execute(
                QStringLiteral("INSERT INTO Corrections VALUES (%1, strftime('%Y-%m-%d "
                               "%H:%M:%f', 'now'), NULL, %2, %3, %4)")
                    .arg(QString::number(id),
                         sqlText(wanted ? QStringLiteral("corrected") : QStringLiteral("deleted")),
                         sqlText(json(shown)),
                         wanted ? sqlText(json(*wanted)) : QStringLiteral("NULL")));
        connection_.execute(done ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
        return done ? Outcome::Stored : Outcome::Changed;
    } catch (const DbError&) {
        try {
            connection_.execute(QStringLiteral("ROLLBACK"));
        } catch (const DbError&) {
            // Nothing was begun, or SQLite rolled back by itself.
        }
        throw;
    }
}

ListingStore::Outcome ListingStore::correct(ListingId id, const QStringList& shown,
                                            const QStringList& wanted) {
    if (connection_.isServer())
        return firstValue(QStringLiteral("SELECT pelmar_correct(%1, %2, %3)")
                              .arg(QString::number(id), serverArray(shown), serverArray(wanted)),
                          connection_) == QLatin1String("1")
                   ? Outcome::Stored
                   : Outcome::Changed;
    QStringList assignments;
    const QStringList& columns = schema::dataColumns();
    for (int k = 0; k < columns.size(); ++k)
        assignments.append(columns.at(k) + QStringLiteral(" = ") + sqlText(wanted.value(k)));
    return fileChange(QStringLiteral("UPDATE Data SET ") + assignments.join(QStringLiteral(", ")),
                      id, shown, &wanted);
}

ListingStore::Outcome ListingStore::remove(ListingId id, const QStringList& shown) {
    if (connection_.isServer())
        return firstValue(QStringLiteral("SELECT pelmar_delete(%1, %2)")
                              .arg(QString::number(id), serverArray(shown)),
                          connection_) == QLatin1String("1")
                   ? Outcome::Stored
                   : Outcome::Changed;
    return fileChange(QStringLiteral("DELETE FROM Data"), id, shown, nullptr);
}

}  // namespace db

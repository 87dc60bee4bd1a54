#include "store.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <algorithm>

#include "base/searchfold.h"
#include "corrections.h"
#include "dberror.h"
#include "filestore.h"
#include "schema.h"
#include "schemacheck.h"
#include "serverstore.h"
#include "statementtext.h"

namespace db {

namespace {

// A row as the window compares it: a NULL reads as an empty text.
QStringList asShown(QStringList values) {
    for (QString& value : values) {
        if (value.isNull())
            value = QLatin1String("");
    }
    return values;
}

FoundRows shapeOf(const ListingQuery& query) {
    return {query.sortColumn >= 0, query.sortColumn >= 0 && query.descending};
}

}  // namespace

std::unique_ptr<Store> Store::openFile(const QString& path, WaitDisplay* display) {
    auto store = std::make_unique<FileStore>();
    store->connection_.openFile(path);
    store->connection_.showFileWaitsOn(display, store->idleHook());
    return store;
}

std::unique_ptr<Store> Store::openServer(const QString& conninfo, const PasswordPrompt& prompt,
                                         WaitDisplay* display) {
    auto store = std::make_unique<ServerStore>();
    store->connection_.openServer(conninfo, prompt, display);
    store->connection_.server().setIdleHook(store->idleHook());
    return store;
}

Store::Store() : events_(std::make_unique<QObject>()) {}

std::function<void()> Store::idleHook() {
    return
        [events = events_.get(), this] { QTimer::singleShot(0, events, [this] { drainQueue(); }); };
}

QString Store::serverAndLogin() const {
    if (!isServer())
        return {};
    const ServerSession& server = connection_.server();
    return server.login().isEmpty()
               ? server.describe()
               : QStringLiteral("%1, login %2").arg(server.describe(), server.login());
}

void Store::checkTables() {
    schema::checkTables(connection_);
}

void Store::setTrace(StatementTrace trace) {
    trace_ = std::move(trace);
}

void Store::traced(const QString& statement) const {
    if (trace_)
        trace_(statement);
}

QString Store::parameters(int first, int count) const {
    QStringList names;
    for (int number = first; number < first + count; ++number)
        names.append(parameter(number));
    return names.join(QStringLiteral(", "));
}

QList<QStringList> Store::readTable(const QString& table, bool forChoices) {
    traced(tableReadText(table, forChoices));
    return connection_.select(lookupRows(table, {}));
}

std::optional<QStringList> Store::findEntry(const LookupTable& table, const QString& value) {
    traced(findText(table.name, table.key.trimmed(), value));
    const Rows rows = connection_.select(
        lookupRows(table.name,
                   QStringLiteral(" WHERE %1 = %2").arg(name(table.key.trimmed()), parameter(1))),
        {value});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

Store::EntryWrite Store::saveEntry(const LookupTable& table, const QStringList& row) {
    EntryWrite written = EntryWrite::Gone;
    connection_.withTableLock(table.name, [&] {
        if (findEntry(table, row.value(0))) {
            // Set by position, under the names the table gives its columns.
            const QStringList columns = connection_.columnNames(table.name);
            traced(updateText(table.name, columns, row, table.key));
            QStringList assignments;
            for (int position = 0; position < row.size(); ++position)
                assignments.append(QStringLiteral("%1 = %2").arg(name(columns.value(position)),
                                                                 parameter(position + 1)));
            const long long touched = connection_.change(
                QStringLiteral("UPDATE %1 SET %2 WHERE %3 = %4")
                    .arg(name(table.name), assignments.join(QStringLiteral(", ")), name(table.key),
                         parameter(int(row.size()) + 1)),
                row + QStringList{row.value(0)});
            written = touched != 0 ? EntryWrite::Updated : EntryWrite::Gone;
        } else {
            traced(lookupInsertText(table.name, row));
            const long long stored =
                connection_.change(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                       .arg(name(table.name), parameters(1, int(row.size()))),
                                   row);
            written = stored != 0 ? EntryWrite::Added : EntryWrite::NotStored;
        }
    });
    return written;
}

bool Store::removeEntry(const LookupTable& table, const QString& value) {
    bool removed = false;
    connection_.withTableLock(table.name, [&] {
        if (!findEntry(table, value))
            return;
        traced(deleteText(table.name, table.key, value));
        removed = connection_.change(QStringLiteral("DELETE FROM %1 WHERE %2 = %3")
                                         .arg(name(table.name), name(table.key), parameter(1)),
                                     {value}) != 0;
    });
    return removed;
}

QString Store::columnList() const {
    const QString marks = binaryMarks();
    return identity() + QStringLiteral(", ") + schema::dataColumns().join(QStringLiteral(", ")) +
           (marks.isEmpty() ? QString() : QStringLiteral(", ") + marks);
}

QList<StoredListing> Store::listingRows(const QString& statement, const QStringList& parameters) {
    QList<StoredListing> listings;
    for (const QStringList& row : connection_.select(statement, parameters)) {
        StoredListing listing{row.first().toLongLong(), row.mid(1, kColumnCount), {}};
        const QString marks = row.value(1 + kColumnCount);
        for (int k = 0; k < marks.size(); ++k) {
            if (marks.at(k) == QLatin1Char('1'))
                listing.binaryColumns.append(k);
        }
        listings.append(std::move(listing));
    }
    return listings;
}

QList<StoredListing> Store::newest(int limit) {
    return listingRows(QStringLiteral("SELECT %1 FROM Data ORDER BY %2 DESC LIMIT %3")
                           .arg(columnList(), identity(), parameter(1)),
                       {QString::number(limit)});
}

QList<ListingId> Store::identitiesOf(const QString& statement, const QStringList& parameters) {
    const Rows rows = connection_.select(statement, parameters);
    // In the order the rows come, which costs no sort on either engine; newest first here.
    QList<ListingId> ids =
        rows.isEmpty() ? QList<ListingId>() : ListingFinder::parsed(rows.first().value(0));
    std::sort(ids.begin(), ids.end(), std::greater<>());
    return ids;
}

QString Store::foundStatement(const ListingQuery& query, QStringList& values) {
    QString from = QStringLiteral("Data");
    QStringList conditions;
    if (!query.search.isEmpty()) {
        from = searchedTable();
        conditions.append(
            searchCondition(base::foldedForSearch(query.search), int(values.size()) + 1, values));
    }
    for (const ColumnFilter& filter : query.filters) {
        values.append(filter.value);
        conditions.append(QStringLiteral("coalesce(%1, '') = %2")
                              .arg(name(schema::dataColumns().value(filter.column)),
                                   parameter(int(values.size()))));
    }
    if (!conditions.isEmpty())
        from += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    if (query.sortColumn < 0)
        return isServer() ? QStringLiteral(
                                "SELECT string_agg(%1::text, ',' ORDER BY %1 DESC) "
                                "FROM %2")
                                .arg(identity(), from)
                          : QStringLiteral(
                                "SELECT group_concat(id, ',') FROM (SELECT rowid AS "
                                "id FROM %1 ORDER BY rowid DESC)")
                                .arg(from);
    // A sort: each distinct text with its listings, put in order by ListingFinder.
    const QString text =
        QStringLiteral("coalesce(%1, '')").arg(name(schema::dataColumns().value(query.sortColumn)));
    return QStringLiteral("SELECT %1, %2 FROM %3 GROUP BY 1")
        .arg(text,
             isServer() ? QStringLiteral("string_agg(%1::text, ',')").arg(identity())
                        : QStringLiteral("group_concat(rowid, ',')"),
             from);
}

QList<ListingId> Store::identities(const ListingQuery& query) {
    QStringList values;
    const QString statement = foundStatement(query, values);
    return ListingFinder::identities(connection_.select(statement, values), shapeOf(query));
}

std::unique_ptr<ListingFinder> Store::finder(const ListingQuery& query) {
    QStringList values;
    QString statement = foundStatement(query, values);
    // A server groups a million listings by a column in its memory, not on its disk.
    QStringList settings;
    if (isServer())
        settings.append(QStringLiteral("SET work_mem = '64MB'"));
    return std::make_unique<ListingFinder>(connection_.opener(), std::move(settings),
                                           std::move(statement), std::move(values), shapeOf(query));
}

std::unique_ptr<ListingFinder> Store::searchIndexMaker() {
    QString statement = missingSearchIndex();
    if (statement.isEmpty())
        return nullptr;
    return std::make_unique<ListingFinder>(connection_.opener(), QStringList(),
                                           std::move(statement), QStringList());
}

QList<ListingId> Store::olderThan(ListingId before, int limit) {
    QStringList values;
    QString from = QStringLiteral("Data");
    if (before > 0) {
        values.append(QString::number(before));
        from += QStringLiteral(" WHERE %1 < %2").arg(identity(), parameter(1));
    }
    values.append(QString::number(limit));
    const QString older =
        QStringLiteral("(SELECT %1 AS id FROM %2 ORDER BY %1 DESC LIMIT %3) AS older")
            .arg(identity(), from, parameter(int(values.size())));
    return identitiesOf(QStringLiteral("SELECT %1 FROM %2")
                            .arg(isServer() ? QStringLiteral("string_agg(id::text, ',')")
                                            : QStringLiteral("group_concat(id, ',')"),
                                 older),
                        values);
}

QList<StoredListing> Store::read(const QList<ListingId>& ids) {
    if (ids.isEmpty())
        return {};
    QStringList values;
    for (ListingId id : ids)
        values.append(QString::number(id));
    const QList<StoredListing> rows =
        listingRows(QStringLiteral("SELECT %1 FROM Data WHERE %2 IN (%3)")
                        .arg(columnList(), identity(), parameters(1, int(ids.size()))),
                    values);
    QHash<ListingId, qsizetype> at;
    for (qsizetype i = 0; i < rows.size(); ++i)
        at.insert(rows.at(i).id, i);
    QList<StoredListing> ordered;
    for (ListingId id : ids) {
        if (at.contains(id))
            ordered.append(rows.at(at.value(id)));
    }
    return ordered;
}

Store::Outcome Store::correct(ListingId id, const QStringList& shown, const QStringList& wanted) {
    try {
        return change(id, shown, &wanted);
    } catch (const DbError& error) {
        if (!error.outcomeUnknown() && !dynamic_cast<const Cancelled*>(&error))
            throw;
    }
    return settled(id, shown, &wanted);
}

Store::Outcome Store::remove(ListingId id, const QStringList& shown) {
    try {
        return change(id, shown, nullptr);
    } catch (const DbError& error) {
        if (!error.outcomeUnknown() && !dynamic_cast<const Cancelled*>(&error))
            throw;
    }
    return settled(id, shown, nullptr);
}

Store::Outcome Store::restore(ListingId id, const QStringList& deleted) {
    try {
        return restoreRow(id, deleted);
    } catch (const DbError& error) {
        if (!error.outcomeUnknown() && !dynamic_cast<const Cancelled*>(&error))
            throw;
    }
    // As a correction: what the database holds now tells whether it was done.
    const QList<StoredListing> now = read({id});
    if (!now.isEmpty() && asShown(now.first().values) == asShown(deleted))
        return Outcome::Stored;
    throw DbError(
        QStringLiteral("The server's answer was lost: the listing was not restored. "
                       "Try again once the server answers."));
}

Store::Outcome Store::settled(ListingId id, const QStringList& shown, const QStringList* wanted) {
    // The server may have done it before the answer was lost or the wait given up:
    // what the row holds now tells, before the operator is told anything.
    QList<StoredListing> now;
    try {
        now = read({id});
    } catch (const DbError& error) {
        throw DbError(
            QStringLiteral("The server's answer was lost, and the program could not learn "
                           "whether the %1 was stored (%2). Your changes are kept in the "
                           "window; look at the listing again once the server answers.")
                .arg(wanted ? QStringLiteral("correction") : QStringLiteral("deletion"),
                     error.text()));
    }
    const bool gone = now.isEmpty();
    if (wanted ? (!gone && asShown(now.first().values) == asShown(*wanted)) : gone)
        return Outcome::Stored;
    if (!gone && asShown(now.first().values) == asShown(shown))
        throw DbError(QStringLiteral("The server did not take the %1: the listing is as it was. "
                                     "Your changes are kept in the window; try again.")
                          .arg(wanted ? QStringLiteral("correction") : QStringLiteral("deletion")));
    return Outcome::Changed;
}

namespace {

// A JSON array of the row's values as Corrections keeps it; null as a null text.
QStringList valuesOf(const QString& json) {
    QStringList values;
    for (const QJsonValue& value : QJsonDocument::fromJson(json.toUtf8()).array())
        values.append(value.isNull() ? QString() : value.toString());
    return values;
}

}  // namespace

QList<Store::Correction> Store::history(ListingId id) {
    QList<Correction> corrections;
    for (const QStringList& row : connection_.select(
             QStringLiteral("SELECT CorrectedAt, CorrectedBy, Change, ValuesBefore, ValuesAfter "
                            "FROM Corrections WHERE ListingId = %1 ORDER BY CorrectedAt")
                 .arg(parameter(1)),
             {QString::number(id)}))
        corrections.append({row.value(0), row.value(1), row.value(2), valuesOf(row.value(3)),
                            valuesOf(row.value(4))});
    return corrections;
}

void Store::addCorrections() {
    schema::addCorrections(connection_);
}

void Store::whenIdle(QObject* context, std::function<void()> fn) {
    if (!busy() && queued_.isEmpty()) {
        fn();
        return;
    }
    queued_.append({QPointer<QObject>(context), std::move(fn)});
}

void Store::drainQueue() {
    while (!busy() && !queued_.isEmpty()) {
        auto [context, fn] = queued_.takeFirst();
        if (context)
            fn();
    }
}

}  // namespace db

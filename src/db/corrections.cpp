#include "corrections.h"

#include "connection.h"
#include "dberror.h"
#include "schema.h"
#include "sqlitedb.h"

namespace db::schema {

namespace {

// "c0 = v[1], ..." or "coalesce(c0,'') = v[1] AND ...": one piece per column of Data.
QString perColumn(const QString& piece, const QString& joint) {
    QStringList pieces;
    const QStringList& columns = dataColumns();
    for (int k = 0; k < columns.size(); ++k)
        pieces.append(piece.arg(columns.at(k)).arg(k + 1));
    return pieces.join(joint);
}

// The body shared by both functions: the row must still hold exactly what the desk
// showed, a NULL where it read a NULL.
QString stillShown() {
    return QStringLiteral("pelmar_seq = listing AND array_length(shown, 1) = %1 AND ")
               .arg(dataColumns().size()) +
           perColumn(QStringLiteral("%1 IS NOT DISTINCT FROM shown[%2]"), QStringLiteral(" AND "));
}

// A function that makes one change and records it, with the values before and after
// as the expressions give them.
QString serverFunction(const QString& signature, const QString& change, const QString& before,
                       const QString& after, const QString& schemaName) {
    const QString name = signature.left(signature.indexOf(QLatin1Char('(')));
    const QString recorded = name == QLatin1String("pelmar_delete") ? QStringLiteral("deleted")
                             : name == QLatin1String("pelmar_restore")
                                 ? QStringLiteral("restored")
                                 : QStringLiteral("corrected");
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION %1 RETURNS integer LANGUAGE plpgsql "
               "SECURITY DEFINER SET search_path = %2, pg_temp AS $body$\n"
               "DECLARE done integer;\n"
               "BEGIN\n  %3;\n  GET DIAGNOSTICS done = ROW_COUNT;\n"
               "  IF done = 1 THEN\n    INSERT INTO Corrections VALUES (listing, now(), "
               "session_user, '%4', %5, %6);\n  END IF;\n"
               "  RETURN done;\nEND\n$body$")
        .arg(signature, quotedName(schemaName), change, recorded, before, after);
}

// A deleted listing comes back under its number only while its latest record is its
// deletion of exactly those values: restored once, and never over a change since.
QString restoreBody() {
    QStringList values;
    for (int k = 1; k <= dataColumns().size(); ++k)
        values.append(QStringLiteral("deleted[%1]").arg(k));
    return QStringLiteral(
               "PERFORM pg_advisory_xact_lock(listing);\n  "
               "INSERT INTO Data (%1, pelmar_seq) OVERRIDING SYSTEM VALUE SELECT %2, listing "
               "WHERE array_length(deleted, 1) = %3 AND NOT EXISTS (SELECT 1 FROM Data WHERE "
               "pelmar_seq = listing) AND (SELECT Change || ':' || ValuesBefore FROM Corrections "
               "WHERE ListingId = listing ORDER BY CorrectedAt DESC LIMIT 1) = "
               "'deleted:' || array_to_json(deleted)::text")
        .arg(dataColumns().join(QStringLiteral(", ")), values.join(QStringLiteral(", ")))
        .arg(dataColumns().size());
}

}  // namespace

QStringList correctionsStatements(bool server, const QString& serverSchema) {
    if (!server)
        return {
            QStringLiteral("CREATE TABLE IF NOT EXISTS Corrections (ListingId INTEGER, "
                           "CorrectedAt TEXT, CorrectedBy TEXT, Change TEXT, "
                           "ValuesBefore TEXT, ValuesAfter TEXT)")};
    const QString correct = kCorrectFunction;
    const QString remove = kDeleteFunction;
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS Corrections (ListingId BIGINT, "
                       "CorrectedAt TIMESTAMPTZ, CorrectedBy TEXT, Change TEXT, "
                       "ValuesBefore TEXT, ValuesAfter TEXT)"),
        QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS data_pelmar_seq ON Data (pelmar_seq)"),
        serverFunction(
            QStringLiteral("pelmar_correct(listing bigint, shown text[], wanted text[])"),
            QStringLiteral("UPDATE Data SET ") +
                // Only the cells that change are written; every other keeps its value.
                perColumn(QStringLiteral("%1 = CASE WHEN wanted[%2] IS DISTINCT FROM shown[%2] "
                                         "THEN wanted[%2] ELSE %1 END"),
                          QStringLiteral(", ")) +
                QStringLiteral(" WHERE array_length(wanted, 1) = %1 AND ")
                    .arg(dataColumns().size()) +
                stillShown(),
            QStringLiteral("array_to_json(shown)::text"),
            QStringLiteral("array_to_json(wanted)::text"), serverSchema),
        serverFunction(QStringLiteral("pelmar_delete(listing bigint, shown text[])"),
                       QStringLiteral("DELETE FROM Data WHERE ") + stillShown(),
                       QStringLiteral("array_to_json(shown)::text"), QStringLiteral("NULL"),
                       serverSchema),
        serverFunction(QStringLiteral("pelmar_restore(listing bigint, deleted text[])"),
                       restoreBody(), QStringLiteral("NULL"),
                       QStringLiteral("array_to_json(deleted)::text"), serverSchema),
        // A new function may be run by every role until this says otherwise.
        QStringLiteral("REVOKE ALL ON FUNCTION %1, %2, %3 FROM PUBLIC")
            .arg(correct, remove, kRestoreFunction),
    };
}

QString addCorrections(Connection& connection) {
    const QString schemaName =
        connection.isServer()
            ? connection.select(QStringLiteral("SELECT current_schema()")).value(0).value(0)
            : QString();
    QString refused;
    connection.transaction([&] {
        for (const QString& statement : correctionsStatements(connection.isServer(), schemaName))
            connection.execute(statement);
        // A file's index of a million listings takes seconds to make: the Listings
        // window makes it on a thread of its own (Store::searchIndexMaker), never
        // inside an operator's correction.
        if (connection.isServer())
            refused = addSearchIndex(
                true, [&connection](const QString& statement) { connection.execute(statement); });
    });
    return refused;
}

const QList<int>& searchedColumns() {
    // State, publication, date, street, suburb, and each agent's first name and surname.
    static const QList<int> columns = {0, 1, 2, 5, 6, 63, 64, 67, 68, 71, 72};
    return columns;
}

namespace {

// The searched columns joined by a unit separator, so that a text never matches
// across two. Only functions a server may index by (its concat_ws may not be).
QString searchedText(bool server) {
    QStringList columns;
    for (int k : searchedColumns())
        columns.append(QStringLiteral("coalesce(%1, '')").arg(dataColumns().at(k)));
    return columns.join(server ? QStringLiteral(" || chr(31) || ")
                               : QStringLiteral(" || char(31) || "));
}

}  // namespace

QString searchExpression(bool server) {
    return QStringLiteral("lower(%1)").arg(searchedText(server));
}

QString folded(bool server, const QString& text) {
    // The file folds in the program's own function. The server folds by the same
    // steps in its built-in functions, which it may index by; ICU's lower case knows
    // every script.
    if (!server)
        return QStringLiteral("pelmar_fold(%1)").arg(text);
    return QStringLiteral(
               "translate(lower(regexp_replace(normalize(%1, NFD), "
               "'[\\u0300-\\u036f]', '', 'g') COLLATE \"und-x-icu\"), "
               "'\u03c2', '\u03c3')")
        .arg(text);
}

QString foldedSearchExpression(bool server) {
    // The file's search folds what its index holds, read from the index.
    return server ? folded(true, searchedText(true)) : folded(false, searchExpression(false));
}

QString addSearchIndex(bool server, const std::function<void(const QString&)>& run) {
    // The file's index holds the searched text in lower case, which the search reads
    // and folds; the server's is a trigram index of the folded text itself.
    const QString index = server ? QStringLiteral(
                                       "CREATE INDEX IF NOT EXISTS %1 ON Data USING gin ((%2) "
                                       "gin_trgm_ops)")
                                       .arg(kFoldedSearchIndex, foldedSearchExpression(true))
                                 : QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON Data (%2)")
                                       .arg(kSearchIndex, searchExpression(false));
    if (!server) {
        run(index);
        return {};
    }
    // pg_trgm comes with Debian's server, and its owner may add it (a trusted
    // extension); another server may lack it or its administrator may refuse it.
    run(QStringLiteral("SAVEPOINT search_index"));
    try {
        run(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm"));
        run(index);
        // The index of an earlier version, of the text in lower case only.
        run(QStringLiteral("DROP INDEX IF EXISTS %1").arg(kSearchIndex));
        run(QStringLiteral("RELEASE SAVEPOINT search_index"));
        return {};
    } catch (const DbError& error) {
        run(QStringLiteral("ROLLBACK TO SAVEPOINT search_index"));
        return error.text();
    }
}

}  // namespace db::schema

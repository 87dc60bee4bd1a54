#include "schema.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "corrections.h"
#include "dberror.h"
#include "listing.h"
#include "samplerows.h"
#include "serversession.h"
#include "sqlitedb.h"

namespace db::schema {

const QStringList& dataColumns() {
#define PELMAR_NAME(name) QStringLiteral(#name),
    static const QStringList columns = {PELMAR_DATA_COLUMNS(PELMAR_NAME)};
#undef PELMAR_NAME
    return columns;
}

const QList<Table>& tables() {
    static const QList<Table> all = {
        {QStringLiteral("Data"), dataColumns()},
        {QStringLiteral("Street"), {QStringLiteral("StreetName")}},
        {QStringLiteral("State"), {QStringLiteral("State")}},
        {QStringLiteral("PropType"), {QStringLiteral("PropType")}},
        {QStringLiteral("PubName"), {QStringLiteral("PubName"), QStringLiteral("PubState")}},
    };
    return all;
}

namespace {

QString createStatement(const Table& table, const QStringList& hidden = {}) {
    QStringList columns;
    for (const QString& column : table.columns)
        columns.append(column + QStringLiteral(" TEXT"));
    columns.append(hidden);
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(table.name, columns.join(QStringLiteral(", ")));
}

using Run = std::function<void(const QString& statement)>;
// A statement whose values are parameters, "?" on a file and "$1", ... on a server.
using Change = std::function<void(const QString& statement, const QStringList& values)>;

void fill(bool server, const Change& change) {
    const auto insert = [server, &change](const QString& table, const QStringList& values) {
        QStringList markers;
        for (int number = 1; number <= values.size(); ++number)
            markers.append(server ? QStringLiteral("$%1").arg(number) : QStringLiteral("?"));
        change(
            QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, markers.join(QLatin1Char(','))),
            values);
    };
    for (const QString& state : samples::states())
        insert(QStringLiteral("State"), {state});
    for (const QString& street : samples::streetExtensions())
        insert(QStringLiteral("Street"), {street});
    for (const QString& type : samples::propertyTypes())
        insert(QStringLiteral("PropType"), {type});
    for (const samples::Publication& publication : samples::publications())
        insert(QStringLiteral("PubName"), {publication.name, publication.state});
}

// Identity numbers give the stored order, and the token is unique so that a submit
// run twice finds the row of its first run.
QStringList hiddenDefinitions(const Table& table) {
    QStringList definitions;
    for (const QString& column : hiddenColumns(table))
        definitions.append(column + (column == kStoredOrder
                                         ? QStringLiteral(" BIGINT GENERATED ALWAYS AS IDENTITY")
                                         : QStringLiteral(" TEXT UNIQUE")));
    return definitions;
}

QString lookupTables() {
    QStringList names;
    for (const Table& table : tables()) {
        if (table.name != QLatin1String("Data"))
            names.append(table.name);
    }
    return names.join(QStringLiteral(", "));
}

// The functions through which a desk writes Data, in the session's current schema.
// A fixed search_path, with the session's temporary schema last, keeps a desk from
// putting a table or function of its own in the way of those the body names.
QStringList listingFunctions(ServerSession& session) {
    const QString schemaName =
        session.exec(QStringLiteral("SELECT quote_ident(current_schema())")).value(0, 0);
    const QString rights =
        QStringLiteral("SECURITY DEFINER SET search_path = %1, pg_temp").arg(schemaName);
    QStringList values, assignments;
    for (const QString& column : dataColumns()) {
        values.append(QStringLiteral("listing[%1]").arg(values.size() + 1));
        assignments.append(column + QStringLiteral(" = EXCLUDED.") + column);
    }
    const QString store = QStringLiteral("%1(token text, listing text[])").arg(kStoreListing);
    const QString stored = QStringLiteral("%1(token text)").arg(kListingStored);
    return {
        QStringLiteral(
            "CREATE OR REPLACE FUNCTION %1 RETURNS SETOF bigint LANGUAGE plpgsql %2 AS $body$\n"
            "BEGIN\n"
            "  IF cardinality(listing) IS DISTINCT FROM %3 THEN\n"
            "    RAISE EXCEPTION 'A listing has %3 values, not %.', cardinality(listing);\n"
            "  END IF;\n"
            "  RETURN QUERY INSERT INTO Data (%4, %5) VALUES (%6, token)\n"
            "    ON CONFLICT (%5) DO UPDATE SET %7 RETURNING %8;\n"
            "END\n"
            "$body$")
            .arg(store, rights)
            .arg(dataColumns().size())
            .arg(dataColumns().join(QStringLiteral(", ")), kRowToken,
                 values.join(QStringLiteral(", ")), assignments.join(QStringLiteral(", ")),
                 kStoredOrder),
        QStringLiteral("CREATE OR REPLACE FUNCTION %1 RETURNS boolean LANGUAGE sql STABLE %2 AS "
                       "$body$ SELECT EXISTS (SELECT 1 FROM Data WHERE %3 = $1) $body$")
            .arg(stored, rights, kRowToken),
        // Every role may run a new function until told otherwise.
        QStringLiteral("REVOKE ALL ON FUNCTION %1, %2 FROM PUBLIC").arg(store, stored),
    };
}

}  // namespace

QStringList hiddenColumns(const Table& table) {
    QStringList hidden{kStoredOrder};
    if (table.name == QLatin1String("Data"))
        hidden.append(kRowToken);
    return hidden;
}

void createDatabase(const QString& path, bool withSamples) {
    // The file is made here, only if nothing lies at the path yet, and SQLite then
    // opens exactly that file: a file or a link that another program puts there is
    // refused, never used, and the failure path below removes only the file made here.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        const QFileInfo there(path);
        if (there.exists() || there.isSymLink())
            throw DbError(QStringLiteral("'%1' already exists; it is left as it is.").arg(path));
        throw DbError(QStringLiteral("Cannot create '%1': %2").arg(path, file.errorString()));
    }
    file.close();
    try {
        SqliteDb database(path, 0);
        const Run run = [&database](const QString& statement) { database.change(statement); };
        FileTransaction transaction(database);
        for (const Table& table : tables())
            run(createStatement(table));
        for (const QString& statement : correctionsStatements(false))
            run(statement);
        addSearchIndex(false, run);
        if (withSamples)
            fill(false, [&database](const QString& statement, const QStringList& values) {
                database.change(statement, values);
            });
        transaction.commit();
    } catch (const DbError& error) {
        QFile::remove(path);
        throw DbError(QStringLiteral("Cannot create '%1': %2").arg(path, error.text()));
    }
}

const Table* tableNamed(const QString& name) {
    for (const Table& table : tables()) {
        if (table.name.compare(name, Qt::CaseInsensitive) == 0)
            return &table;
    }
    return nullptr;
}

QString spelling(const QString& name) {
    for (const Table& table : tables()) {
        for (const QString& column : table.columns) {
            if (column.compare(name, Qt::CaseInsensitive) == 0)
                return column;
        }
    }
    return name;
}

namespace {

// Runs fn in one transaction of a session of its own: all of it or nothing.
void inOneTransaction(const QString& conninfo,
                      const std::function<void(ServerSession&, const Run&)>& fn) {
    ServerSession session(conninfo);
    const Run run = [&session](const QString& statement) { session.exec(statement); };
    session.transaction([&] { fn(session, run); });
}

}  // namespace

QString createServerTables(const QString& conninfo, bool withSamples) {
    QString refused;
    inOneTransaction(conninfo, [withSamples, &refused](ServerSession& session, const Run& run) {
        QStringList names;
        for (const Table& table : tables())
            names.append(table.name.toLower());
        const ServerResult found = session.exec(
            QStringLiteral("SELECT table_name FROM information_schema.tables "
                           "WHERE table_schema = current_schema() AND "
                           "table_name = ANY (string_to_array($1, ',')) ORDER BY table_name"),
            {names.join(QLatin1Char(','))});
        if (found.rows() > 0) {
            QStringList present;
            for (int row = 0; row < found.rows(); ++row)
                present.append(tableNamed(found.value(row, 0))->name);
            throw DbError(QStringLiteral("The %1 already has the table(s) %2; nothing was changed.")
                              .arg(session.describe(), present.join(QStringLiteral(", "))));
        }
        for (const Table& table : tables())
            run(createStatement(table, hiddenDefinitions(table)));
        QStringList statements = listingFunctions(session);
        const QString schemaName =
            session.exec(QStringLiteral("SELECT current_schema()")).value(0, 0);
        statements += correctionsStatements(true, schemaName);
        for (const QString& statement : statements)
            run(statement);
        refused = addSearchIndex(true, run);
        if (withSamples)
            fill(true, [&session](const QString& statement, const QStringList& values) {
                session.exec(statement, values);
            });
    });
    return refused;
}

void grantDeskRights(const QString& conninfo, const QString& role) {
    // Named as CREATE ROLE was given it, unquoted, and so folded alike.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plainName.match(role).hasMatch())
        throw DbError(
            QStringLiteral("'%1' is no plain role name (letters, digits and _); nothing was "
                           "changed.")
                .arg(role));
    inOneTransaction(conninfo, [&role](ServerSession& session, const Run& run) {
        for (const QString& statement : listingFunctions(session))
            run(statement);
        QStringList readable = dataColumns();
        readable.append(kStoredOrder);
        run(QStringLiteral("REVOKE ALL ON Data, %1 FROM %2").arg(lookupTables(), role));
        run(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO %2")
                .arg(lookupTables(), role));
        run(QStringLiteral("GRANT SELECT (%1) ON Data TO %2")
                .arg(readable.join(QStringLiteral(", ")), role));
        run(QStringLiteral("GRANT EXECUTE ON FUNCTION %1(text, text[]), %2(text) TO %3")
                .arg(kStoreListing, kListingStored, role));
        // Corrections go through the administrator's functions as the insert does; a
        // database made before them gets them from --corrections first.
        const ServerResult corrections = session.exec(
            QStringLiteral("SELECT to_regprocedure($1) IS NOT NULL"), {kCorrectFunction});
        if (corrections.value(0, 0) == QLatin1String("t")) {
            run(QStringLiteral("GRANT EXECUTE ON FUNCTION %1, %2 TO %3")
                    .arg(kCorrectFunction, kDeleteFunction, role));
            // Restoring came later: a database given corrections before has it once
            // --corrections has run again.
            if (session
                    .exec(QStringLiteral("SELECT to_regprocedure($1) IS NOT NULL"),
                          {kRestoreFunction})
                    .value(0, 0) == QLatin1String("t"))
                run(QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO %2")
                        .arg(kRestoreFunction, role));
            // A listing's history is the desk's to read, never to write.
            run(QStringLiteral("GRANT SELECT ON Corrections TO %1").arg(role));
        }
    });
}

}  // namespace db::schema

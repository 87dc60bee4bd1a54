#include "connection.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "dberror.h"
#include "dialect.h"
#include "schema.h"
#include "servertablereader.h"
#include "sqlerror.h"
#include "sqlitefile.h"
#include "tablereader.h"

namespace db {

namespace {

QString nextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("pelmar-%1").arg(counter.fetchAndAddRelaxed(1));
}

}  // namespace

Connection::Connection() : connectionName_(nextConnectionName()) {}

Connection::~Connection() {
    close();
}

QString Connection::dataSourceOf(const QString& connectionText) {
    static const QLatin1String key("data source=");
    const int at = connectionText.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    QString source = connectionText.mid(at + key.size());
    // The text ends in ";": a folder name may hold ";" itself, so only the last one goes.
    if (source.endsWith(QLatin1Char(';')))
        source.chop(1);
    return source;
}

void Connection::open() {
    const QString source = dataSourceOf(connectionString_);
    if (source.isEmpty())
        throw DbError(
            QStringLiteral("The connection text names no data source: %1").arg(connectionString_));
    openFile(source);
}

void Connection::openFile(const QString& path) {
    close();
    const QFileInfo info(path);
    if (!info.exists())
        throw DbError(QStringLiteral("Could not find file '%1'.").arg(path));
    if (!info.isFile())
        throw DbError(QStringLiteral("'%1' is not a database file.").arg(path));
    if (!info.isReadable())
        throw DbError(QStringLiteral("The database file '%1' cannot be read.").arg(path));

    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    database.setDatabaseName(existingFileUri(path));
    database.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!database.open()) {
        const QString text = errorText(database.lastError());
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        throw DbError(QStringLiteral("Cannot open '%1': %2").arg(path, text));
    }
    // SQLite reads the file lazily: ask for the schema now so that a file that is no
    // database, or one locked by another program, fails here and not at the first window.
    QSqlQuery probe(database);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const QString text = errorText(probe.lastError());
        probe = QSqlQuery();
        database.close();
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        throw DbError(QStringLiteral("Cannot open '%1': %2").arg(path, text));
    }
    path_ = path;
}

void Connection::openServer(const QString& conninfo, const PasswordPrompt& prompt) {
    close();
    server_ = std::make_unique<ServerSession>(conninfo, prompt);
}

bool Connection::isOpen() const {
    return server_ || (QSqlDatabase::contains(connectionName_) && database().isOpen());
}

void Connection::withTableLock(const QString& table, const std::function<void()>& fn) {
    if (server_)
        server_->withTableLock(table, fn);
    else
        fn();
}

std::unique_ptr<TableReader> Connection::tableReader() const {
    if (server_)
        return std::make_unique<ServerTableReader>(*server_);
    return std::make_unique<FileTableReader>(path_);
}

void Connection::close() {
    server_.reset();
    if (!QSqlDatabase::contains(connectionName_))
        return;
    {
        QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(connectionName_, false);
}

QString Connection::prepareText(const QString& statement, const QString& rowToken) const {
    if (!isOpen())
        throw DbError(QStringLiteral("The database connection is not open."));
    if (trace_)
        trace_(statement);
    return server_ ? toPostgres(statement, rowToken) : toSqlite(statement);
}

void Connection::refreshSchema() {
    // The server reads the tables' layout afresh for every statement.
    if (server_)
        return;
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        throw DbError(errorText(query.lastError()));
}

QStringList Connection::columnNames(const QString& table) const {
    QStringList names;
    if (server_) {
        if (const schema::Table* known = schema::tableNamed(table))
            names = known->columns;
    } else {
        const QSqlRecord record = database().record(table);
        for (int position = 0; position < record.count(); ++position)
            names.append(record.fieldName(position));
    }
    if (names.isEmpty())
        throw DbError(
            QStringLiteral("The table %1 has no columns that the program knows.").arg(table));
    return names;
}

void Connection::execute(const QString& statement) {
    const QString text = prepareText(statement);
    if (server_) {
        server_->exec(text);
        return;
    }
    QSqlQuery query(database());
    if (!query.exec(text))
        throw DbError(errorText(query.lastError()));
}

}  // namespace db

#include "connection.h"

#include <sys/stat.h>

#include <QAtomicInt>
#include <QFile>
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
#include "textunits.h"

namespace db {

namespace {

// The device and inode of the file at the path now; false when there is none.
bool fileIdentity(const QString& path, std::uint64_t& device, std::uint64_t& inode) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    device = std::uint64_t(info.st_dev);
    inode = std::uint64_t(info.st_ino);
    return true;
}

// Runs a statement of the connection's own, unseen by the trace; throws DbError.
void run(const QSqlDatabase& database, const QString& statement) {
    QSqlQuery query(database);
    if (!query.exec(statement))
        throw DbError(errorText(query.lastError()));
}

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

    // Taken before SQLite opens it: a file put in its place meanwhile is told apart at
    // the first statement.
    if (!fileIdentity(path, device_, inode_))
        throw DbError(QStringLiteral("Could not find file '%1'.").arg(path));
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
    if (server_) {
        server_->withTableLock(table, fn);
        return;
    }
    // Two programs on one file would otherwise both find a value missing and both
    // store it: SQLite lets every reader in while another program writes. IMMEDIATE
    // takes the write lock at the start (waiting as long as for any lock), so the
    // test inside fn sees what the other program stored.
    checkSameFile();
    const QSqlDatabase db = database();
    run(db, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        fn();
        run(db, QStringLiteral("COMMIT"));
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

void Connection::checkSameFile() const {
    if (server_ || path_.isEmpty())
        return;
    std::uint64_t device = 0, inode = 0;
    const bool there = fileIdentity(path_, device, inode);
    if (there && device == device_ && inode == inode_)
        return;
    throw DbError(
        QStringLiteral("The database file '%1' %2 since the program started. Nothing was "
                       "written or read; what is typed in the windows is kept. Close the "
                       "program and start it again to work on the file now at that place.")
            .arg(path_, there ? QStringLiteral("was replaced by another file")
                              : QStringLiteral("was removed or moved away")));
}

std::unique_ptr<TableReader> Connection::tableReader() const {
    if (server_)
        return std::make_unique<ServerTableReader>(*server_);
    checkSameFile();
    return std::make_unique<FileTableReader>(path_);
}

void Connection::close() {
    server_.reset();
    path_.clear();
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
    checkSameFile();
    if (trace_)
        trace_(statement);
    const QString whole = withWholeCharacters(statement);
    return server_ ? toPostgres(whole, rowToken) : toSqlite(whole);
}

void Connection::refreshSchema() {
    // The server reads the tables' layout afresh for every statement.
    if (server_)
        return;
    checkSameFile();
    run(database(), QStringLiteral("SELECT count(*) FROM sqlite_master"));
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

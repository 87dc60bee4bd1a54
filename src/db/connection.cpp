#include "connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "base/utf8text.h"
#include "dberror.h"
#include "dialect.h"
#include "schema.h"
#include "servertablereader.h"
#include "sqlerror.h"
#include "sqlitefile.h"
#include "tablereader.h"

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

void Connection::openServer(const QString& conninfo, const PasswordPrompt& prompt,
                            WaitDisplay* display) {
    close();
    server_ = std::make_unique<ServerSession>(conninfo, prompt, display);
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
        return std::make_unique<ServerTableReader>(server_->another());
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

QString Connection::prepareText(const QString& statement) const {
    if (!isOpen())
        throw DbError(QStringLiteral("The database connection is not open."));
    checkSameFile();
    if (trace_)
        trace_(statement);
    const QString whole = base::withWholeCharacters(statement);
    return server_ ? toPostgres(whole) : toSqlite(whole);
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

namespace {

// The file's own handle beneath Qt's driver: bound values go to SQLite as UTF-8, as
// they are. Qt binds text as UTF-16, of which SQLite drops a leading U+FEFF, taking
// it for a byte-order mark.
sqlite3* handleOf(const QSqlDatabase& database) {
    const QVariant handle = database.driver()->handle();
    sqlite3* db = handle.isValid() ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
    if (!db)
        throw DbError(QStringLiteral("The database connection is not open."));
    return db;
}

// One prepared statement of the file, with its values bound; finalised with it.
class BoundStatement {
public:
    BoundStatement(sqlite3* db, const QString& statement, const QStringList& parameters) : db_(db) {
        const QByteArray text = statement.toUtf8();
        if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &statement_, nullptr) !=
            SQLITE_OK)
            fail(QStringLiteral("Unable to execute statement"));
        for (int k = 0; k < parameters.size(); ++k) {
            const QString& value = parameters.at(k);
            const QByteArray utf8 = base::withWholeCharacters(value).toUtf8();
            const int bound = value.isNull()
                                  ? sqlite3_bind_null(statement_, k + 1)
                                  : sqlite3_bind_text(statement_, k + 1, utf8.constData(),
                                                      int(utf8.size()), SQLITE_TRANSIENT);
            if (bound != SQLITE_OK)
                fail(QStringLiteral("Unable to bind a value"));
        }
    }
    ~BoundStatement() { sqlite3_finalize(statement_); }
    BoundStatement(const BoundStatement&) = delete;
    BoundStatement& operator=(const BoundStatement&) = delete;

    // The next row; false at the end. A step that fails is no end of the rows.
    bool step() {
        const int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            fail(QStringLiteral("Unable to fetch row"));
        return false;
    }
    int columns() const { return sqlite3_column_count(statement_); }
    QString value(int column) const {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL)
            return {};
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return base::fromStoredUtf8(QByteArrayView(text, sqlite3_column_bytes(statement_, column)));
    }
    long long changes() const { return sqlite3_changes64(db_); }

private:
    [[noreturn]] void fail(const QString& doing) const {
        const QString engine = QString::fromUtf8(sqlite3_errmsg(db_)).trimmed();
        throw DbError(engine.isEmpty() || engine == QLatin1String("not an error")
                          ? doing + QStringLiteral(": the database engine gave no reason.")
                          : doing + QStringLiteral(": ") + engine);
    }

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace
QList<QStringList> Connection::select(const QString& statement, const QStringList& parameters) {
    if (!isOpen())
        throw DbError(QStringLiteral("The database connection is not open."));
    checkSameFile();
    QList<QStringList> rows;
    if (server_) {
        const ServerResult result = server_->exec(statement, parameters);
        const int columns = result.columns();
        for (int row = 0; row < result.rows(); ++row) {
            QStringList values;
            values.reserve(columns);
            for (int column = 0; column < columns; ++column)
                values.append(result.isNull(row, column) ? QString() : result.value(row, column));
            rows.append(values);
        }
        return rows;
    }
    BoundStatement query(handleOf(database()), statement, parameters);
    const int columns = query.columns();
    while (query.step()) {
        QStringList values;
        values.reserve(columns);
        for (int column = 0; column < columns; ++column)
            values.append(query.value(column));
        rows.append(values);
    }
    return rows;
}

long long Connection::change(const QString& statement, const QStringList& parameters) {
    if (!isOpen())
        throw DbError(QStringLiteral("The database connection is not open."));
    checkSameFile();
    if (server_)
        return server_->exec(statement, parameters).rowsAffected();
    BoundStatement query(handleOf(database()), statement, parameters);
    while (query.step()) {
    }
    return query.changes();
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

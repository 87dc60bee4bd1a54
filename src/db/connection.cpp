#include "connection.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "dberror.h"
#include "schema.h"
#include "servertablereader.h"
#include "sqlitedb.h"
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

}  // namespace

Connection::Connection() = default;

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

void Connection::openFile(const QString& path) {
    close();
    if (path.isEmpty())
        throw DbError(QStringLiteral("No database file is named."));
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
    auto file = std::make_unique<SqliteDb>(path, kBusyTimeoutMs);
    // SQLite reads the file lazily: ask for the schema now so that a file that is no
    // database, or one locked by another program, fails here and not at the first window.
    try {
        file->select(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const DbError& error) {
        throw DbError(QStringLiteral("Cannot open '%1': %2").arg(path, error.text()));
    }
    file_ = std::move(file);
    path_ = path;
}

void Connection::openServer(const QString& conninfo, const PasswordPrompt& prompt,
                            WaitDisplay* display) {
    close();
    server_ = std::make_unique<ServerSession>(conninfo, prompt, display);
}

bool Connection::isWaiting() const {
    return server_ ? server_->isWaiting() : file_ && file_->waiting();
}

void Connection::showFileWaitsOn(WaitDisplay* display, std::function<void()> idle) {
    if (file_)
        file_->showWaitsOn(display, std::move(idle));
}

bool Connection::isOpen() const {
    return server_ || file_;
}

void Connection::close() {
    server_.reset();
    file_.reset();
    path_.clear();
}

SqliteDb& Connection::file() const {
    if (!file_)
        throw DbError(QStringLiteral("The database connection is not open."));
    checkSameFile();
    return *file_;
}

void Connection::transaction(const std::function<void()>& fn) {
    if (server_) {
        server_->transaction(fn);
        return;
    }
    FileTransaction transaction(file());
    fn();
    transaction.commit();
}

void Connection::withTableLock(const QString& table, const std::function<void()>& fn) {
    if (server_) {
        server_->withTableLock(table, fn);
        return;
    }
    // Two programs on one file would otherwise both find a value missing and both
    // store it: SQLite lets every reader in while another program writes. The file's
    // transaction holds its write lock from the start.
    transaction(fn);
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

std::unique_ptr<Connection> Connection::another() const {
    return opener()();
}

Connection::Opener Connection::opener() const {
    if (server_)
        return [session = server_->opener()] {
            auto connection = std::make_unique<Connection>();
            connection->server_ = session();
            return connection;
        };
    return [path = path_, device = device_, inode = inode_] {
        auto connection = std::make_unique<Connection>();
        connection->path_ = path;
        connection->device_ = device;
        connection->inode_ = inode;
        // Without openFile's look at the layout, which would wait for a lock that
        // another program holds.
        connection->checkSameFile();
        connection->file_ = std::make_unique<SqliteDb>(path, kBusyTimeoutMs);
        return connection;
    };
}

std::function<void()> Connection::interrupter() const {
    if (server_)
        return server_->interrupter();
    SqliteDb* file = file_.get();
    return [file] { file->interrupt(); };
}

void Connection::refreshSchema() {
    // The server reads the tables' layout afresh for every statement.
    if (server_)
        return;
    file().select(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

QStringList Connection::columnNames(const QString& table) const {
    QStringList names;
    if (server_) {
        if (const schema::Table* known = schema::tableNamed(table))
            names = known->columns;
    } else {
        names = file().columnNames(table);
    }
    if (names.isEmpty())
        throw DbError(
            QStringLiteral("The table %1 has no columns that the program knows.").arg(table));
    return names;
}

QList<QStringList> Connection::select(const QString& statement, const QStringList& parameters) {
    if (!server_)
        return file().select(statement, parameters);
    const ServerResult result = server_->exec(statement, parameters);
    QList<QStringList> rows;
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

long long Connection::change(const QString& statement, const QStringList& parameters) {
    if (server_)
        return server_->exec(statement, parameters).rowsAffected();
    return file().change(statement, parameters);
}

void Connection::execute(const QString& statement) {
    change(statement);
}

}  // namespace db

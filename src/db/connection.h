#pragma once

#include <QSqlDatabase>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "serversession.h"

namespace db {

// Sees every statement as the program wrote it, before any dialect rewrite.
using StatementTrace = std::function<void(const QString& statement)>;

class TableReader;
class WaitDisplay;

// One open database: a file, named by a connection text such as
// "provider=...;data source=PATH;" (only the data source is read from the text),
// or a PostgreSQL server, named by a libpq connection text.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text) { connectionString_ = text; }
    const QString& connectionString() const { return connectionString_; }

    // Opens the data source; throws DbError when the file is missing, unreadable,
    // locked or not a database. Never creates a file.
    void open();
    bool isOpen() const;
    void close();

    // Opens a database file by its path, as the export does with a connection of its own.
    void openFile(const QString& path);

    // Opens a session with a server instead of a file; throws DbError naming the
    // server when it cannot be reached or refuses the login.
    void openServer(const QString& conninfo, const PasswordPrompt& prompt = {},
                    WaitDisplay* display = nullptr);
    bool isServer() const { return server_ != nullptr; }
    // A statement on the server is waiting for its answer (ServerSession::isWaiting).
    bool isWaiting() const { return server_ && server_->isWaiting(); }
    ServerSession& server() const { return *server_; }

    // Runs fn as one atomic step against every other session writing the table: on a
    // server inside a transaction that holds the table's write lock, on a file inside
    // one that holds the file's write lock from its start. Another program on the same
    // file may read meanwhile, but not write, so a test and the write that depends on it
    // see the same table. Throws DbError; then nothing of fn's writes is kept.
    void withTableLock(const QString& table, const std::function<void()>& fn);

    // A reader of its own on the same database, for long forward reads. Throws DbError
    // when the file is no longer the one the connection opened.
    std::unique_ptr<TableReader> tableReader() const;

    // Throws DbError when the file at path() is no longer the file the connection
    // opened: removed, or replaced by another (a backup copied over it). SQLite goes on
    // with the file it holds, which nobody sees any more. Nothing for a server.
    void checkSameFile() const;

    // The path after "data source=", less the closing ";".
    static QString dataSourceOf(const QString& connectionText);

    // The names of the table's columns in order, as the table spells them, read from
    // the layout and not from the rows. A server folds names to lower case: there the
    // program's spelling stands for them (start-up found the columns in its order).
    QStringList columnNames(const QString& table) const;

    // Runs a statement that returns no rows; throws DbError on failure.
    void execute(const QString& statement);

    // The store's way in: a statement whose every value is a parameter, written "?"
    // on a file and "$1", "$2", ... on a server, and the values in that order (a null
    // text is NULL). The values never become statement text. Gives every row's
    // values, exactly as stored (NULL as a null text); change() gives the rows an
    // insert, update or delete touched. Neither is seen by the trace: the store
    // reports its operations itself. Throws DbError.
    QList<QStringList> select(const QString& statement, const QStringList& parameters = {});
    long long change(const QString& statement, const QStringList& parameters = {});

    // Makes SQLite read the tables' layout afresh. It keeps the layout it read last,
    // and a statement that fails against that picture (an insert with a number of
    // values that no longer matches, after another program altered the table and put
    // it back) does not make it look again. Throws DbError.
    void refreshSchema();

    void setTrace(StatementTrace trace) { trace_ = std::move(trace); }
    // Reports the statement to the trace and gives the text that the engine is to run,
    // with every lone surrogate replaced (base/utf8text.h). Throws DbError as checkSameFile.
    QString prepareText(const QString& statement) const;

    QSqlDatabase database() const;
    const QString& path() const { return path_; }

    // How long SQLite waits for another program's lock before it reports it.
    static constexpr int kBusyTimeoutMs = 3000;

private:
    QString connectionString_;
    QString connectionName_;
    QString path_;
    // The device and inode of the file opened, to tell it from one put in its place.
    std::uint64_t device_ = 0, inode_ = 0;
    StatementTrace trace_;
    std::unique_ptr<ServerSession> server_;
};

}  // namespace db

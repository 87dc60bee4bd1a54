#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

#include "serversession.h"

namespace db {

// Sees every statement the program stands for, as the program writes it.
using StatementTrace = std::function<void(const QString& statement)>;

class SqliteDb;
class TableReader;
class WaitDisplay;

// One open database: a file, or a PostgreSQL server named by a libpq connection text.
// The store's operations (store.h) run on it; nothing above db/ sees it.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the database file at path; throws DbError when it is missing, unreadable,
    // locked or not a database. Never creates a file.
    void openFile(const QString& path);
    bool isOpen() const;
    void close();

    // Opens a session with a server instead of a file; throws DbError naming the
    // server when it cannot be reached or refuses the login.
    void openServer(const QString& conninfo, const PasswordPrompt& prompt = {},
                    WaitDisplay* display = nullptr);
    bool isServer() const { return server_ != nullptr; }
    // A statement on the server is waiting for its answer (ServerSession::isWaiting).
    // On a file: a statement waits for another program's lock.
    bool isWaiting() const;
    // Shows a file's long waits for another program's lock on the display, and runs
    // idle when each is over (SqliteDb::showWaitsOn). A server's show as it opens.
    void showFileWaitsOn(WaitDisplay* display, std::function<void()> idle);
    ServerSession& server() const { return *server_; }

    // Runs fn in one transaction: all of its statements or none (on a file holding the
    // write lock from the start). Throws DbError.
    void transaction(const std::function<void()>& fn);
    // Runs fn as one atomic step against every other session writing the table: on a
    // server inside a transaction that holds the table's write lock, on a file inside
    // one that holds the file's write lock from its start. Another program on the same
    // file may read meanwhile, but not write, so a test and the write that depends on it
    // see the same table. Throws DbError; then nothing of fn's writes is kept.
    void withTableLock(const QString& table, const std::function<void()>& fn);

    // A reader of its own on the same database, for long forward reads. Throws DbError
    // when the file is no longer the one the connection opened.
    std::unique_ptr<TableReader> tableReader() const;

    // Another connection to the same database, for a statement that runs on a thread
    // of its own. Throws DbError as opening does.
    std::unique_ptr<Connection> another() const;
    // Opens such a connection when called, on any thread, whatever became of this one:
    // a thread of its own then waits for a slow server's login, not the window.
    using Opener = std::function<std::unique_ptr<Connection>()>;
    Opener opener() const;
    // Stops the statement that runs on this connection, from any thread; the statement
    // then fails. Made while nothing runs on the connection.
    std::function<void()> interrupter() const;

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

    // Runs a statement of the program's own that holds no value and returns no rows
    // (a table's definition, a transaction's start). Throws DbError.
    void execute(const QString& statement);

    // The store's way in: a statement whose every value is a parameter, written "?"
    // on a file and "$1", "$2", ... on a server, and the values in that order (a null
    // text is NULL). The values never become statement text. Gives every row's
    // values, exactly as stored (NULL as a null text); change() gives the rows an
    // insert, update or delete touched. Throws DbError.
    QList<QStringList> select(const QString& statement, const QStringList& parameters = {});
    long long change(const QString& statement, const QStringList& parameters = {});

    // Makes SQLite read the tables' layout afresh. It keeps the layout it read last,
    // and a statement that fails against that picture (an insert with a number of
    // values that no longer matches, after another program altered the table and put
    // it back) does not make it look again. Throws DbError.
    void refreshSchema();

    const QString& path() const { return path_; }

    // How long SQLite waits for another program's lock before it reports it.
    static constexpr int kBusyTimeoutMs = 3000;

private:
    // The open file, after checking that it is still the one opened.
    SqliteDb& file() const;

    QString path_;
    // The device and inode of the file opened, to tell it from one put in its place.
    std::uint64_t device_ = 0, inode_ = 0;
    std::unique_ptr<SqliteDb> file_;
    std::unique_ptr<ServerSession> server_;
};

}  // namespace db

#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct sqlite3;

namespace db {

class WaitDisplay;

// One open database file, straight on SQLite's own interface: the program's only way
// into SQLite. Values are bound as UTF-8, exactly (Qt's driver bound UTF-16, of which
// SQLite drops a leading U+FEFF), a step that fails is never taken for the end of
// the rows, and the rows an insert, update or delete touched are always known.
class SqliteDb {
public:
    // Opens the existing file at path, never creating one, waiting up to busyTimeoutMs
    // for another program's lock. Throws DbError, naming the file.
    SqliteDb(const QString& path, int busyTimeoutMs);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // A statement whose every value is a parameter ("?"), with the values in that
    // order (a null text is NULL): select() gives every row's values as stored (NULL
    // as a null text), change() the rows it touched. Throws DbError.
    QList<QStringList> select(const QString& statement, const QStringList& parameters = {});
    long long change(const QString& statement, const QStringList& parameters = {});

    // The names of a table's columns in order, as the table spells them; none for a
    // table that is not there.
    QStringList columnNames(const QString& table);

    // While a statement of the program's thread waits for another program's lock,
    // the events go on as in a server's wait (serverwait.h): past a second the display
    // shows, naming the file, with Cancel, which gives the wait up; `idle` runs once
    // the wait is over. Without a display the thread only waits.
    void showWaitsOn(WaitDisplay* display, std::function<void()> idle);
    // A statement waits for another program's lock: nothing else may start meanwhile.
    bool waiting() const { return waiting_; }

    // Stops the statement that runs on another thread, which then fails; callable
    // from any thread.
    void interrupt();

    sqlite3* handle() const { return db_; }

private:
    static int onBusy(void* self, int count);
    void refuseWhileWaiting() const;
    // Ends a statement's wait for a lock, if it had one.
    void waitEnded();

    sqlite3* db_ = nullptr;
    QString path_;
    int busyTimeoutMs_ = 0;
    WaitDisplay* display_ = nullptr;
    std::function<void()> idle_;
    QElapsedTimer busySince_;
    bool waiting_ = false, shown_ = false, cancelled_ = false;
};

// A table's, column's or schema's name as a statement quotes it: between double
// quotes, each one inside doubled (SQLite and PostgreSQL alike).
QString quotedName(const QString& name);

// One write transaction on a file, holding the write lock from its start (BEGIN
// IMMEDIATE), so that a test and the write that depends on it see the same table.
// Rolled back unless committed.
class FileTransaction {
public:
    explicit FileTransaction(SqliteDb& db);
    ~FileTransaction();
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;
    void commit();

private:
    SqliteDb& db_;
    bool open_ = true;
};

}  // namespace db

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace db {

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

    // Stops the statement that runs on another thread, which then fails; callable
    // from any thread.
    void interrupt();

    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
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

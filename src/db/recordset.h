#pragma once

#include <QSqlQuery>
#include <QString>
#include <memory>

namespace db {

class Connection;
class ServerResult;

// A forward-only result set in the manner the windows use one: open it with a
// statement, test for the end, read fields by position, move on, close.
// Statements without rows (insert, update, delete) are run through open as well.
class Recordset {
public:
    Recordset();
    ~Recordset();

    bool isOpen() const { return open_; }
    // Runs the statement; throws DbError with the engine's text when it fails.
    void open(const QString& statement, Connection& connection);
    void close();

    // Before-first and end: both are true at once for a statement that found nothing.
    bool bof() const { return open_ && atEnd_ && rowIndex_ == 0; }
    bool eof() const { return !open_ || atEnd_; }
    void moveFirst();
    // Throws DbError, and closes the result set, when the next row cannot be read.
    void moveNext();

    // The rows the last insert, update or delete touched; -1 when the engine does not say.
    long long rowsAffected() const;

    int fieldCount() const;
    QString value(int position) const;
    QString fieldName(int position) const;

private:
    // To the first row: a file's statement runs again, a server's rows are at hand.
    void start();
    // The file's next row; false at the end. Throws DbError when the read fails.
    bool nextRow();
    [[noreturn]] void fail();

    std::unique_ptr<QSqlQuery> query_;
    // A server's answer comes whole; the rows are read from it by index.
    std::unique_ptr<ServerResult> result_;
    QString text_;
    bool open_ = false;
    bool atEnd_ = true;
    long long rowIndex_ = 0;
};

// The loop every window runs: each row's value at one position, in the engine's order.
QStringList columnValues(Recordset& rs, const QString& statement, Connection& connection,
                         int position = 0);
// The same loop for several positions: each row's values at those positions, in order.
QList<QStringList> rowValues(Recordset& rs, const QString& statement, Connection& connection,
                             const QList<int>& positions);

}  // namespace db

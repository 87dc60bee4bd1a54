#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace db {

// Asked when the server wants a password that none of libpq's own sources
// (~/.pgpass, PGPASSFILE, a service file) gives, and again (`refused`) when the
// server turned down the one given. Nothing: the operator declined. The text names
// the server and the role, never a password.
using PasswordPrompt = std::function<std::optional<QString>(const QString& server, bool refused)>;

// Checks a libpq connection text (key=value form or a postgresql:// URI) without
// connecting. Throws DbError with libpq's own reason when it cannot be parsed.
void checkServerText(const QString& conninfo);

// One result of the server, freed with the object.
class ServerResult {
public:
    explicit ServerResult(PGresult* result = nullptr) : result_(result) {}
    ~ServerResult();
    ServerResult(ServerResult&& other) noexcept : result_(other.result_) {
        other.result_ = nullptr;
    }
    ServerResult& operator=(ServerResult&& other) noexcept;
    ServerResult(const ServerResult&) = delete;
    ServerResult& operator=(const ServerResult&) = delete;

    PGresult* get() const { return result_; }
    int rows() const;
    int columns() const;
    // The value as the stored UTF-8 bytes; a NULL reads as an empty text.
    QString value(int row, int column) const;
    QString columnName(int column) const;
    // The rows an insert, update or delete touched, or a select returned, as the
    // server counted them; -1 for a statement of another kind.
    long long rowsAffected() const;

private:
    PGresult* result_;
};

// A session with a PostgreSQL server through libpq. The session sets
// standard_conforming_strings on for itself, so that a doubled quote is the only
// escape in a literal whatever the server's default. A session whose connection was
// lost connects again by itself before the next statement.
class ServerSession {
public:
    // Connects; throws DbError naming the server when that fails. The prompt is asked
    // only when the server wants a password and none was found, and again after a
    // refused one, kPasswordTries times in all.
    ServerSession(const QString& conninfo, const PasswordPrompt& prompt = {});
    ~ServerSession();
    static constexpr int kPasswordTries = 3;
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    // Runs a statement; throws DbError naming the server with the engine's text.
    ServerResult exec(const QString& statement);
    // Runs a statement that starts a COPY to the client; reads follow with readCopyRow.
    void startCopyOut(const QString& statement);
    // The next row of a running COPY in text form, in a buffer of libpq's that lives
    // until the next call; false at the end. Throws DbError.
    bool readCopyRow(char*& row, int& length);
    // Ends a running COPY early: the server is asked to stop sending, and what it had
    // sent already is read away, so the session is free for the next statement.
    void cancelCopy();

    // Runs fn inside one transaction that holds an exclusive write lock on the table,
    // so that a test for a row and the insert that follows it are one step for every
    // session. Rolls back and rethrows when fn throws.
    void withTableLock(const QString& table, const std::function<void()>& fn);

    // "server HOST, database NAME": what messages name; never the password.
    QString describe() const;

private:
    void connect(const PasswordPrompt& prompt);
    // What every fresh connection needs before the program's first statement.
    void setUp();
    void ensureConnected();
    // A failed connect, in the operator's words where the server did not prove itself.
    [[noreturn]] void failToConnect() const;
    // outcomeUnknown: the statement had been sent when the connection died.
    [[noreturn]] void fail(const QString& engineText, bool outcomeUnknown = false) const;
    QString engineText() const;

    QByteArray conninfo_;
    std::optional<QByteArray> password_;
    PGconn* conn_ = nullptr;
    char* copyRow_ = nullptr;
};

}  // namespace db

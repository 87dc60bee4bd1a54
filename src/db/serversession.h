#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace db {

class ServerWait;
class WaitDisplay;

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
    bool isNull(int row, int column) const;
    QString columnName(int column) const;
    // The rows an insert, update or delete touched, or a select returned, as the
    // server counted them; -1 for a statement of another kind.
    long long rowsAffected() const;

private:
    PGresult* result_;
};

// A session with a PostgreSQL server through libpq. The session sets
// standard_conforming_strings on for itself, so that a doubled quote is the only
// escape in a literal whatever the server's default, and bounds how long it waits
// for another session's lock. A session whose connection was lost, or closed by the
// server while idle, connects again by itself and sends the statement once.
//
// No statement holds the program's thread: each goes out through libpq's
// asynchronous calls and the session waits for its answer in a nested event loop
// (serverwait.h), where a long wait is shown to the operator and can be cancelled
// (db::Cancelled). Throws AnswerLost when the connection broke after a statement had
// gone out, so that its outcome is not known.
class ServerSession {
public:
    // Connects; throws DbError naming the server when that fails. The prompt is asked
    // at most once, and only when the server wants a password and none was found.
    // Long waits are shown on the display, when there is one (serverwait.h).
    ServerSession(const QString& conninfo, const PasswordPrompt& prompt = {},
                  WaitDisplay* display = nullptr);
    ~ServerSession();
    // How often a refused password is asked for before the connect gives up.
    static constexpr int kPasswordTries = 3;
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    // Runs a statement; throws DbError naming the server with the engine's text, or a
    // text of the program's own when another session holds a lock too long. With
    // parameters, the statement is one statement that names them $1, $2, ...: each is
    // sent apart from the text, a null text as NULL, and no value is ever read as SQL.
    ServerResult exec(const QString& statement, const QStringList& parameters = {});
    // Runs a statement that starts a COPY to the client; reads follow with readCopyRow.
    void startCopyOut(const QString& statement);
    // The next row of a running COPY in text form, in a buffer of libpq's that lives
    // until the next call; false at the end. Throws DbError.
    bool readCopyRow(char*& row, int& length);
    // Ends a running COPY early: the server is asked to stop sending, and what it had
    // sent already is read away, so the session is free for the next statement.
    void cancelCopy();

    // Runs fn inside one transaction: all of its statements or none. Rolls back and
    // rethrows when fn throws; a session lost meanwhile takes the transaction with it.
    void transaction(const std::function<void()>& fn);
    // Runs fn inside one transaction that holds an exclusive write lock on the table,
    // so that a test for a row and the insert that follows it are one step for every
    // session. Rolls back and rethrows when fn throws.
    void withTableLock(const QString& table, const std::function<void()>& fn);

    // "server HOST, database NAME": what messages name; never the password.
    QString describe() const;
    // The role the session logs in as, which the desk shows beside the server.
    const QString& login() const { return login_; }

    // What the session is doing. One command at a time: a statement is refused while
    // another waits for its answer or while a COPY is being read, whatever asks.
    enum class State { Idle, Busy, Copying };
    State state() const { return state_; }
    bool inTransaction() const { return inTransaction_; }
    // A statement is waiting for its answer: no other may start until it is done.
    bool isWaiting() const { return state_ != State::Idle; }

    // A session of its own on the same server, logged in as this one: for a long read
    // (the export's COPY) that the windows' statements must not wait behind.
    std::unique_ptr<ServerSession> another() const;
    // Opens such a session when called, on any thread, whatever became of this one.
    std::function<std::unique_ptr<ServerSession>()> opener() const;
    // Asks the server to stop the statement this session runs, from any thread. Made
    // while nothing runs on the session; it keeps what it needs of it.
    std::function<void()> interrupter() const;
    // Called each time the session is free again after a statement or a COPY.
    void setIdleHook(std::function<void()> hook) { idleHook_ = std::move(hook); }

    // How long a statement waits for a lock held by another session, and how long
    // the server keeps a transaction of a desk that has gone silent in the middle.
    static constexpr const char* kLockTimeout = "5s";
    static constexpr const char* kIdleInTransactionTimeout = "10s";

private:
    struct Finish {
        void operator()(PGconn* conn) const;
    };

    ServerSession(const QByteArray& conninfo, const std::optional<QByteArray>& password,
                  WaitDisplay* display);
    void connect(const PasswordPrompt& prompt);
    static void noticed(void* session, const PGresult* notice);
    // Opens a fresh connection without holding the thread; false when libpq refused.
    bool open(ServerWait& wait);
    // What every fresh connection needs before the program's first statement.
    void setUp(ServerWait& wait);
    void ensureConnected(ServerWait& wait);
    ServerResult run(const QByteArray& statement, ServerWait& wait);
    // Parameters, when given, go apart from the text (PQsendQueryParams).
    bool send(const QByteArray& statement, ServerWait& wait,
              const QList<QByteArray>* parameters = nullptr);
    ServerResult collect(ServerWait& wait);
    // Waits until libpq has the whole of the next result; false: the connection broke.
    bool awaitInput(ServerWait& wait);
    [[noreturn]] void abandon(bool answerExpected);
    void settle(int graceMs);
    void drop();
    void rollBack();
    void refuseWhileWaiting() const;
    bool refusedForShutdown(const PGresult* result) const;
    std::function<QString()> described() const;
    // A failed connect, in the operator's words where the server did not prove itself.
    [[noreturn]] void failToConnect() const;
    [[noreturn]] void fail(const QString& engineText) const;
    [[noreturn]] void failResult(const PGresult* result) const;
    QString failureText(const QString& engineText) const;
    QString engineText() const;

    QByteArray conninfo_;
    std::optional<QByteArray> password_;
    std::unique_ptr<PGconn, Finish> conn_;
    WaitDisplay* display_ = nullptr;
    QString described_;
    QString login_;
    char* copyRow_ = nullptr;
    State state_ = State::Idle;
    std::function<void()> idleHook_;
    bool inTransaction_ = false;
    bool closedByServer_ = false;
};

}  // namespace db

#include "serversession.h"

#include <libpq-fe.h>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <thread>

#include "base/utf8text.h"
#include "dberror.h"
#include "servertrust.h"
#include "serverwait.h"

namespace db {

void checkServerText(const QString& conninfo) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (options) {
        PQconninfoFree(options);
        return;
    }
    QString reason = error ? QString::fromUtf8(error).trimmed() : QStringLiteral("out of memory");
    PQfreemem(error);
    // libpq quotes the piece it could not read, which may be a password: where the
    // text holds one, no piece of it is shown.
    static const QRegularExpression password(
        QStringLiteral("password\\s*=|^\\s*postgres(ql)?://[^@/]*:[^@/]*@"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression quoted(QStringLiteral("\"[^\"]*\""));
    if (password.match(conninfo).hasMatch())
        reason.replace(quoted, QStringLiteral("\"...\""));
    throw DbError(QStringLiteral("The server setting cannot be read: %1").arg(reason));
}

ServerResult::~ServerResult() {
    PQclear(result_);
}

ServerResult& ServerResult::operator=(ServerResult&& other) noexcept {
    if (this != &other) {
        PQclear(result_);
        result_ = other.result_;
        other.result_ = nullptr;
    }
    return *this;
}

int ServerResult::rows() const {
    return result_ ? PQntuples(result_) : 0;
}

int ServerResult::columns() const {
    return result_ ? PQnfields(result_) : 0;
}

QString ServerResult::value(int row, int column) const {
    return base::fromStoredUtf8(
        QByteArrayView(PQgetvalue(result_, row, column), PQgetlength(result_, row, column)));
}

bool ServerResult::isNull(int row, int column) const {
    return PQgetisnull(result_, row, column) != 0;
}

QString ServerResult::columnName(int column) const {
    return QString::fromUtf8(PQfname(result_, column));
}

long long ServerResult::rowsAffected() const {
    const char* count = result_ ? PQcmdTuples(result_) : "";
    return *count ? QByteArray(count).toLongLong() : -1;
}

namespace {

// The session is busy for as long as one statement waits for its answer.
class Waiting {
public:
    Waiting(ServerSession::State& state, const std::function<void()>& idle)
        : state_(state), idle_(idle) {
        state_ = ServerSession::State::Busy;
    }
    ~Waiting() {
        if (state_ != ServerSession::State::Busy)
            return;
        state_ = ServerSession::State::Idle;
        if (idle_)
            idle_();
    }

private:
    ServerSession::State& state_;
    const std::function<void()>& idle_;
};

// Parameters as libpq takes them: UTF-8 texts, a null one for NULL.
QList<QByteArray> encoded(const QStringList& parameters) {
    QList<QByteArray> texts;
    texts.reserve(parameters.size());
    for (const QString& value : parameters)
        texts.append(value.isNull() ? QByteArray() : base::withWholeCharacters(value).toUtf8());
    return texts;
}

// How long libpq is given to connect: its own connect_timeout, which it keeps only
// when it connects on its own thread.
int connectTimeoutMs(PGconn* conn) {
    int seconds = 0;
    PQconninfoOption* options = PQconninfo(conn);
    for (PQconninfoOption* option = options; option && option->keyword; ++option) {
        if (qstrcmp(option->keyword, "connect_timeout") == 0 && option->val)
            seconds = QByteArray(option->val).toInt();
    }
    PQconninfoFree(options);
    return seconds > 0 ? std::max(seconds, 2) * 1000 : -1;
}

// Asks the server to stop the running statement. libpq makes this request only in a
// blocking call, and a server that has gone silent holds it for as long as it stays
// silent: it runs on a short thread of its own that nothing waits for.
void requestCancel(PGconn* conn) {
    PGcancel* cancel = PQgetCancel(conn);
    if (!cancel)
        return;
    std::thread([cancel] {
        char error[256];
        PQcancel(cancel, error, sizeof error);
        PQfreeCancel(cancel);
    }).detach();
}

bool isCopy(ExecStatusType status) {
    return status == PGRES_COPY_OUT || status == PGRES_COPY_IN || status == PGRES_COPY_BOTH;
}

bool isFailure(ExecStatusType status) {
    return status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && !isCopy(status);
}

// A cancelled statement gets this long to end on a server that still answers; one
// that does not is dropped with its connection.
constexpr int kCancelGraceMs = 100;
// An abandoned COPY gets longer: the rows already on their way are read away.
constexpr int kCopyGraceMs = 2000;

}  // namespace

void ServerSession::Finish::operator()(PGconn* conn) const {
    PQfinish(conn);
}

ServerSession::ServerSession(const QString& conninfo, const PasswordPrompt& prompt,
                             WaitDisplay* display)
    : conninfo_(conninfo.toUtf8()), display_(display) {
    checkServerText(conninfo);
    connect(prompt);
}

ServerSession::ServerSession(const QByteArray& conninfo, const std::optional<QByteArray>& password,
                             WaitDisplay* display)
    : conninfo_(conninfo), password_(password), display_(display) {
    connect({});
}

std::unique_ptr<ServerSession> ServerSession::another() const {
    return opener()();
}

std::function<std::unique_ptr<ServerSession>()> ServerSession::opener() const {
    return [conninfo = conninfo_, password = password_, display = display_] {
        return std::unique_ptr<ServerSession>(new ServerSession(conninfo, password, display));
    };
}

std::function<void()> ServerSession::interrupter() const {
    std::shared_ptr<PGcancel> cancel(PQgetCancel(conn_.get()), PQfreeCancel);
    // As requestCancel: the request blocks as long as a silent server holds it.
    return [cancel] {
        if (!cancel)
            return;
        std::thread([cancel] {
            char error[256];
            PQcancel(cancel.get(), error, sizeof error);
        }).detach();
    };
}

ServerSession::~ServerSession() {
    PQfreemem(copyRow_);
}

bool ServerSession::open(ServerWait& wait) {
    // The text is expanded as libpq reads any connection text: what it says
    // overrides the defaults before it, and a password asked for comes after it.
    // The defaults make a server gone from the network a failure within about
    // half a minute instead of a program that hangs.
    const char* keys[] = {"connect_timeout",
                          "keepalives_idle",
                          "keepalives_interval",
                          "keepalives_count",
                          "tcp_user_timeout",
                          "dbname",
                          "client_encoding",
                          password_ ? "password" : nullptr,
                          nullptr};
    const char* values[] = {"10",    "10",
                            "5",     "3",
                            "30000", conninfo_.constData(),
                            "UTF8",  password_ ? password_->constData() : nullptr,
                            nullptr};
    PQfreemem(std::exchange(copyRow_, nullptr));
    conn_.reset(PQconnectStartParams(keys, values, 1));
    if (!conn_)
        throw DbError(QStringLiteral("The database connection failed: out of memory"));
    PGconn* conn = conn_.get();
    described_ = describe();
    login_ = QString::fromUtf8(PQuser(conn));
    const int timeoutMs = connectTimeoutMs(conn);
    QElapsedTimer connecting;
    connecting.start();
    // Before the first poll libpq waits to write, as its documentation says.
    PostgresPollingStatusType status = PGRES_POLLING_WRITING;
    while (status != PGRES_POLLING_OK) {
        if (status == PGRES_POLLING_FAILED || PQstatus(conn) == CONNECTION_BAD)
            return false;
        const int left =
            timeoutMs < 0 ? -1 : int(std::max<qint64>(0, timeoutMs - connecting.elapsed()));
        const int socket = PQsocket(conn);
        if (socket >= 0) {
            const ServerWait::Outcome outcome = wait.forSocket(
                socket, status == PGRES_POLLING_WRITING ? ServerWait::Write : ServerWait::Read,
                left);
            if (outcome == ServerWait::Cancelled) {
                drop();
                throw Cancelled();
            }
            if (outcome == ServerWait::TimedOut)
                fail(QStringLiteral("timeout expired"));
        }
        status = PQconnectPoll(conn);
    }
    // Notices are printed nowhere: a window program has no terminal. A server that
    // shuts down says so before it closes the connection, which libpq, idle, takes
    // for a notice; the close itself may come to light only after the next write.
    closedByServer_ = false;
    PQsetNoticeReceiver(conn, &ServerSession::noticed, this);
    PQsetnonblocking(conn, 1);
    return true;
}

void ServerSession::noticed(void* session, const PGresult* notice) {
    const char* severity = PQresultErrorField(notice, PG_DIAG_SEVERITY_NONLOCALIZED);
    if (severity && (qstrcmp(severity, "FATAL") == 0 || qstrcmp(severity, "PANIC") == 0))
        static_cast<ServerSession*>(session)->closedByServer_ = true;
}

void ServerSession::connect(const PasswordPrompt& prompt) {
    for (int asked = 0;;) {
        ServerWait wait(display_, described());
        if (open(wait)) {
            setUp(wait);
            return;
        }
        // Only a password the operator typed is asked again: one of libpq's own
        // sources that is wrong stays wrong.
        const bool refused = password_ && PQconnectionUsedPassword(conn_.get());
        const bool wanted = !password_ && PQconnectionNeedsPassword(conn_.get());
        if (!prompt || !(refused || wanted) || asked == kPasswordTries)
            failToConnect();
        const QString role = QString::fromUtf8(PQuser(conn_.get()));
        const std::optional<QString> given =
            prompt(QStringLiteral("%1, role %2").arg(describe(), role), refused);
        ++asked;
        if (!given)
            failToConnect();
        password_ = given->toUtf8();
    }
}

void ServerSession::setUp(ServerWait& wait) {
    // Quotes are doubled by the program and backslashes are plain characters in its
    // literals: that holds only with standard_conforming_strings on. A lock held by
    // another desk ends the wait for it within seconds, and a transaction whose desk
    // went silent in its middle does not hold its locks for long. The client's
    // connection is checked while a statement runs, so that a statement given up with
    // its connection stops on the server too.
    QByteArray settings = QByteArrayLiteral("SET standard_conforming_strings = on; ") +
                          "SET lock_timeout = '" + kLockTimeout + "'; " +
                          "SET idle_in_transaction_session_timeout = '" +
                          kIdleInTransactionTimeout + "'";
    if (PQserverVersion(conn_.get()) >= 140000)
        settings += "; SET client_connection_check_interval = '2s'";
    try {
        const ServerResult set = run(settings, wait);
        if (isFailure(PQresultStatus(set.get())))
            failResult(set.get());
    } catch (const Cancelled&) {
        // A connection without its settings must not serve the next statement.
        drop();
        throw;
    }
}

void ServerSession::ensureConnected(ServerWait& wait) {
    // A server that was restarted has closed this idle connection: libpq learns of it
    // only by reading, and a statement written first would be lost with it.
    PGconn* conn = conn_.get();
    if (conn && PQstatus(conn) == CONNECTION_OK && PQconsumeInput(conn)) {
        // The server's last words before it closed come as a result of no statement.
        while (!PQisBusy(conn)) {
            PGresult* said = PQgetResult(conn);
            if (!said)
                break;
            const ExecStatusType status = PQresultStatus(said);
            PQclear(said);
            // A COPY still on the line gives the same result for ever: this connection
            // is of no more use, and a fresh one carries the statement.
            if (isCopy(status)) {
                closedByServer_ = true;
                break;
            }
            closedByServer_ = closedByServer_ || isFailure(status);
        }
        if (PQstatus(conn) == CONNECTION_OK && !closedByServer_)
            return;
    }
    // A transaction lost with its connection cannot go on on another one.
    if (inTransaction_)
        throw AnswerLost(failureText(conn_ ? engineText() : QStringLiteral("connection lost")));
    if (!open(wait))
        fail(engineText());
    setUp(wait);
}

void ServerSession::drop() {
    PQfreemem(std::exchange(copyRow_, nullptr));
    conn_.reset();
}

QString ServerSession::engineText() const {
    const QString text = QString::fromUtf8(PQerrorMessage(conn_.get())).trimmed();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

QString ServerSession::describe() const {
    if (!conn_)
        return described_;
    const char* host = PQhost(conn_.get());
    const char* name = PQdb(conn_.get());
    return QStringLiteral("server %1, database %2")
        .arg(QString::fromUtf8(host && *host ? host : "localhost"), QString::fromUtf8(name));
}

QString ServerSession::failureText(const QString& engineText) const {
    // libpq breaks its longer texts into indented lines; the message box flows them.
    static const QRegularExpression lineBreak(QStringLiteral("\\s*\\n\\s*"));
    QString text = engineText;
    text.replace(lineBreak, QStringLiteral(" "));
    return QStringLiteral("The database %1 failed: %2").arg(describe(), text);
}

void ServerSession::failToConnect() const {
    if (const std::optional<QString> text = untrustedServer(describe(), engineText()))
        throw DbError(*text);
    fail(engineText());
}

void ServerSession::fail(const QString& engineText) const {
    throw DbError(failureText(engineText));
}

void ServerSession::failResult(const PGresult* result) const {
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    if (state && qstrcmp(state, "55P03") == 0)
        throw DbError(
            QStringLiteral(
                "Another desk or program is using this table on the %1 right now, so this "
                "action was not done. What you typed is kept; try again in a moment.")
                .arg(describe()));
    const char* text = PQresultErrorMessage(result);
    const QString reason = text && *text ? QString::fromUtf8(text).trimmed() : engineText();
    // The statement went out; a connection that broke before its answer came leaves
    // its outcome unknown.
    if (!conn_ || PQstatus(conn_.get()) != CONNECTION_OK)
        throw AnswerLost(failureText(reason));
    fail(reason);
}

void ServerSession::refuseWhileWaiting() const {
    // A modal wait stops the keyboard and the mouse, but not an accessibility client
    // pressing another window's button: its statement would cross this one's answer.
    if (state_ != State::Idle)
        throw DbError(
            QStringLiteral("The program is still waiting for the %1 to answer the previous "
                           "action. Try again once it is done.")
                .arg(describe()));
}

std::function<QString()> ServerSession::described() const {
    return [this] { return describe(); };
}

bool ServerSession::send(const QByteArray& statement, ServerWait& wait,
                         const QList<QByteArray>* parameters) {
    PGconn* conn = conn_.get();
    if (parameters) {
        std::vector<const char*> values;
        values.reserve(std::size_t(parameters->size()));
        for (const QByteArray& value : *parameters)
            values.push_back(value.isNull() ? nullptr : value.constData());
        if (!PQsendQueryParams(conn, statement.constData(), int(values.size()), nullptr,
                               values.data(), nullptr, nullptr, 0))
            return false;
    } else if (!PQsendQuery(conn, statement.constData())) {
        return false;
    }
    for (;;) {
        const int flushed = PQflush(conn);
        if (flushed == 0)
            return true;
        // Written only in part: the server has not got a whole statement to run.
        if (flushed < 0)
            return false;
        if (wait.forSocket(PQsocket(conn), ServerWait::Read | ServerWait::Write) ==
            ServerWait::Cancelled)
            abandon(false);
        if (!PQconsumeInput(conn))
            return false;
    }
}

bool ServerSession::awaitInput(ServerWait& wait) {
    PGconn* conn = conn_.get();
    while (PQisBusy(conn)) {
        if (PQstatus(conn) != CONNECTION_OK)
            return false;
        if (wait.forSocket(PQsocket(conn), ServerWait::Read) == ServerWait::Cancelled)
            abandon(true);
        if (!PQconsumeInput(conn))
            return false;
    }
    return true;
}

ServerResult ServerSession::collect(ServerWait& wait) {
    // As PQexec: the last result, or the first that failed; a COPY at once.
    ServerResult kept;
    for (;;) {
        awaitInput(wait);
        PGresult* next = PQgetResult(conn_.get());
        if (!next)
            return kept;
        ServerResult result(next);
        const ExecStatusType status = PQresultStatus(next);
        if (isCopy(status))
            return result;
        if (!kept.get() || !isFailure(PQresultStatus(kept.get())))
            kept = std::move(result);
    }
}

ServerResult ServerSession::run(const QByteArray& statement, ServerWait& wait) {
    if (!send(statement, wait))
        return ServerResult(nullptr);
    return collect(wait);
}

void ServerSession::abandon(bool answerExpected) {
    requestCancel(conn_.get());
    if (answerExpected && !inTransaction_)
        settle(kCancelGraceMs);
    else
        drop();
    throw Cancelled();
}

void ServerSession::settle(int graceMs) {
    // Whatever the server still sends for the abandoned statement is read away, so
    // that the connection is free for the next one; if it is not free in time, it
    // goes, and the next statement opens a fresh one.
    PQfreemem(std::exchange(copyRow_, nullptr));
    ServerWait wait(nullptr, nullptr, true);
    QElapsedTimer settling;
    settling.start();
    while (conn_ && PQstatus(conn_.get()) == CONNECTION_OK) {
        PGconn* conn = conn_.get();
        bool more = false;
        while (!more && !PQisBusy(conn)) {
            PGresult* next = PQgetResult(conn);
            if (!next) {
                if (PQtransactionStatus(conn) != PQTRANS_IDLE)
                    drop();
                return;
            }
            const ExecStatusType status = PQresultStatus(next);
            PQclear(next);
            if (status == PGRES_COPY_IN || status == PGRES_COPY_BOTH)
                break;
            if (status == PGRES_COPY_OUT) {
                char* row = nullptr;
                int length = 0;
                while ((length = PQgetCopyData(conn, &row, 1)) > 0)
                    PQfreemem(row);
                if (length == -2)
                    break;
                more = length == 0;
            }
        }
        const int left = int(graceMs - settling.elapsed());
        if (left <= 0 ||
            wait.forSocket(PQsocket(conn), ServerWait::Read, left) != ServerWait::Ready ||
            !PQconsumeInput(conn))
            break;
    }
    drop();
}

ServerResult ServerSession::exec(const QString& statement, const QStringList& parameters) {
    refuseWhileWaiting();
    const Waiting busy(state_, idleHook_);
    const QByteArray text = statement.toUtf8();
    const QList<QByteArray> values = encoded(parameters);
    const QList<QByteArray>* bound = parameters.isEmpty() ? nullptr : &values;
    ServerWait wait(display_, described());
    ensureConnected(wait);
    // A connection that broke on the way out has not delivered the statement, and a
    // server shutting down ends its connection instead of running what comes: either
    // way the statement goes once more over a fresh connection.
    bool sent = send(text, wait, bound);
    ServerResult result = sent ? collect(wait) : ServerResult();
    if (!inTransaction_ &&
        (sent ? refusedForShutdown(result.get()) : PQstatus(conn_.get()) != CONNECTION_OK)) {
        if (!open(wait))
            fail(engineText());
        setUp(wait);
        if (!send(text, wait, bound))
            fail(engineText());
        result = collect(wait);
    }
    if (!result.get() || isFailure(PQresultStatus(result.get())))
        failResult(result.get());
    return result;
}

bool ServerSession::refusedForShutdown(const PGresult* result) const {
    // Class 57P: the server is shutting down or starting up; the connection goes with
    // the statement's transaction, so nothing of the statement stays.
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state && qstrncmp(state, "57P", 3) == 0 && PQstatus(conn_.get()) != CONNECTION_OK;
}

void ServerSession::startCopyOut(const QString& statement) {
    ServerResult result = exec(statement);
    if (PQresultStatus(result.get()) != PGRES_COPY_OUT)
        fail(QStringLiteral("the statement started no copy"));
    // Until its last row is read the connection carries nothing else.
    state_ = State::Copying;
}

bool ServerSession::readCopyRow(char*& row, int& length) {
    PQfreemem(std::exchange(copyRow_, nullptr));
    if (state_ != State::Copying || !conn_)
        fail(QStringLiteral("the copy was abandoned"));
    // Whatever ends the copy here, a failure included, frees the session.
    struct EndOfCopy {
        State& state;
        const std::function<void()>& idle;
        bool done = true;
        ~EndOfCopy() {
            if (!done)
                return;
            state = State::Idle;
            if (idle)
                idle();
        }
    } end{state_, idleHook_};
    PGconn* conn = conn_.get();
    // Most rows come straight out of libpq's buffer: a wait is made only for the others.
    std::optional<ServerWait> wait;
    while ((length = PQgetCopyData(conn, &copyRow_, 1)) == 0) {
        if (!wait)
            wait.emplace(display_, described());
        if (wait->forSocket(PQsocket(conn), ServerWait::Read) == ServerWait::Cancelled)
            abandon(false);
        if (!PQconsumeInput(conn))
            fail(engineText());
    }
    if (length > 0) {
        row = copyRow_;
        end.done = false;
        return true;
    }
    if (length == -2)
        fail(engineText());
    // The end of the copy: the command's own result says whether all went well.
    if (!wait)
        wait.emplace(display_, described());
    const ServerResult result = collect(*wait);
    if (result.get() && isFailure(PQresultStatus(result.get())))
        failResult(result.get());
    return false;
}

void ServerSession::cancelCopy() {
    // Without the cancel the whole rest of a large table would cross the network
    // only to be dropped. A cancel that comes too late does nothing.
    if (state_ != State::Copying)
        return;
    state_ = State::Idle;
    if (!conn_ || PQstatus(conn_.get()) != CONNECTION_OK)
        return;
    requestCancel(conn_.get());
    settle(kCopyGraceMs);
}

void ServerSession::rollBack() {
    inTransaction_ = false;
    if (!conn_ || PQstatus(conn_.get()) != CONNECTION_OK ||
        PQtransactionStatus(conn_.get()) == PQTRANS_IDLE)
        return;
    try {
        exec(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // The server ends a transaction whose connection is gone.
        drop();
    }
}

void ServerSession::transaction(const std::function<void()>& fn) {
    exec(QStringLiteral("BEGIN"));
    inTransaction_ = true;
    try {
        fn();
        exec(QStringLiteral("COMMIT"));
        inTransaction_ = false;
    } catch (...) {
        rollBack();
        throw;
    }
}

void ServerSession::withTableLock(const QString& table, const std::function<void()>& fn) {
    transaction([&] {
        // SHARE ROW EXCLUSIVE conflicts with itself and with every writer, while
        // readers go on: one editor's test and insert at a time, the windows unhindered.
        exec(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table));
        fn();
    });
}

}  // namespace db

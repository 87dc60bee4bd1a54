#include "serversession.h"

#include <libpq-fe.h>

#include <QRegularExpression>

#include "dberror.h"
#include "servertrust.h"

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
    return QString::fromUtf8(PQgetvalue(result_, row, column), PQgetlength(result_, row, column));
}

QString ServerResult::columnName(int column) const {
    return QString::fromUtf8(PQfname(result_, column));
}

long long ServerResult::rowsAffected() const {
    const char* count = result_ ? PQcmdTuples(result_) : "";
    return *count ? QByteArray(count).toLongLong() : -1;
}

ServerSession::ServerSession(const QString& conninfo, const PasswordPrompt& prompt)
    : conninfo_(conninfo.toUtf8()) {
    checkServerText(conninfo);
    connect(prompt);
}

ServerSession::~ServerSession() {
    PQfreemem(copyRow_);
    PQfinish(conn_);
}

void ServerSession::connect(const PasswordPrompt& prompt) {
    for (int asked = 0;;) {
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
                              password_ ? "password" : nullptr,
                              nullptr};
        const char* values[] = {"10",
                                "10",
                                "5",
                                "3",
                                "30000",
                                conninfo_.constData(),
                                password_ ? password_->constData() : nullptr,
                                nullptr};
        PQfinish(conn_);
        conn_ = PQconnectdbParams(keys, values, 1);
        if (PQstatus(conn_) == CONNECTION_OK)
            break;
        // Only a password the operator typed is asked again: one of libpq's own
        // sources that is wrong stays wrong.
        const bool refused = password_ && PQconnectionUsedPassword(conn_);
        const bool wanted = !password_ && PQconnectionNeedsPassword(conn_);
        if (!prompt || !(refused || wanted) || asked == kPasswordTries)
            failToConnect();
        const QString role = QString::fromUtf8(PQuser(conn_));
        const std::optional<QString> given =
            prompt(QStringLiteral("%1, role %2").arg(describe(), role), refused);
        ++asked;
        if (!given)
            failToConnect();
        password_ = given->toUtf8();
    }
    setUp();
}

void ServerSession::setUp() {
    // Quotes are doubled by the program and backslashes are plain characters in its
    // literals: that holds only with standard_conforming_strings on.
    PQsetClientEncoding(conn_, "UTF8");
    ServerResult set(PQexec(conn_, "SET standard_conforming_strings = on"));
    if (PQresultStatus(set.get()) != PGRES_COMMAND_OK)
        fail(engineText());
}

void ServerSession::ensureConnected() {
    if (PQstatus(conn_) == CONNECTION_OK)
        return;
    PQfreemem(copyRow_);
    copyRow_ = nullptr;
    PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK)
        fail(engineText());
    setUp();
}

QString ServerSession::engineText() const {
    const QString text = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

QString ServerSession::describe() const {
    const char* host = PQhost(conn_);
    const char* name = PQdb(conn_);
    return QStringLiteral("server %1, database %2")
        .arg(QString::fromUtf8(host && *host ? host : "localhost"), QString::fromUtf8(name));
}

void ServerSession::failToConnect() const {
    if (const std::optional<QString> text = untrustedServer(describe(), engineText()))
        throw DbError(*text);
    fail(engineText());
}

void ServerSession::fail(const QString& engineText, bool outcomeUnknown) const {
    // libpq breaks its longer texts into indented lines; the message box flows them.
    static const QRegularExpression lineBreak(QStringLiteral("\\s*\\n\\s*"));
    QString text = engineText;
    text.replace(lineBreak, QStringLiteral(" "));
    throw DbError(QStringLiteral("The database %1 failed: %2").arg(describe(), text),
                  outcomeUnknown);
}

ServerResult ServerSession::exec(const QString& statement) {
    ensureConnected();
    ServerResult result(PQexec(conn_, statement.toUtf8().constData()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_COPY_OUT) {
        const char* text = PQresultErrorMessage(result.get());
        // Sent, and the connection gone before the answer: it may have been done.
        fail(text && *text ? QString::fromUtf8(text).trimmed() : engineText(),
             PQstatus(conn_) != CONNECTION_OK);
    }
    return result;
}

void ServerSession::startCopyOut(const QString& statement) {
    ServerResult result = exec(statement);
    if (PQresultStatus(result.get()) != PGRES_COPY_OUT)
        fail(QStringLiteral("the statement started no copy"));
}

bool ServerSession::readCopyRow(char*& row, int& length) {
    PQfreemem(copyRow_);
    copyRow_ = nullptr;
    length = PQgetCopyData(conn_, &copyRow_, 0);
    if (length > 0) {
        row = copyRow_;
        return true;
    }
    if (length == -2)
        fail(engineText());
    // The end of the copy: the command's own result says whether all went well.
    bool ok = true;
    QString text;
    while (PGresult* last = PQgetResult(conn_)) {
        ServerResult result(last);
        if (PQresultStatus(last) != PGRES_COMMAND_OK) {
            ok = false;
            text = QString::fromUtf8(PQresultErrorMessage(last)).trimmed();
        }
    }
    if (!ok)
        fail(text);
    return false;
}

void ServerSession::cancelCopy() {
    // Without the cancel the whole rest of a large table would cross the network
    // only to be dropped. A cancel that comes too late does nothing.
    PGcancel* cancel = PQstatus(conn_) == CONNECTION_OK ? PQgetCancel(conn_) : nullptr;
    if (cancel) {
        char error[256];
        PQcancel(cancel, error, sizeof error);
        PQfreeCancel(cancel);
    }
    try {
        char* row = nullptr;
        int length = 0;
        while (readCopyRow(row, length)) {
        }
    } catch (const DbError&) {
        // The cancel itself ends the copy with an error: the wanted outcome.
    }
}

void ServerSession::withTableLock(const QString& table, const std::function<void()>& fn) {
    exec(QStringLiteral("BEGIN"));
    try {
        // SHARE ROW EXCLUSIVE conflicts with itself and with every writer, while
        // readers go on: one editor's test and insert at a time, the windows unhindered.
        exec(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table));
        fn();
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        if (PQstatus(conn_) == CONNECTION_OK)
            PQclear(PQexec(conn_, "ROLLBACK"));
        throw;
    }
}

}  // namespace db

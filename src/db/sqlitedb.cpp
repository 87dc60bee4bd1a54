#include "sqlitedb.h"

#include <sqlite3.h>

#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>
#include <string>

#include "base/searchfold.h"
#include "base/utf8text.h"
#include "dberror.h"
#include "serverwait.h"
#include "sqlitefile.h"

namespace db {

namespace {

// What an operator is told of the failures a desk meets in its day: what happened,
// that nothing was changed, and what to do; nothing for the others.
QString inOurWords(int code) {
    switch (code) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                "Another desk or program (another PelmarEntry, an export or a backup) is "
                "writing to the database file and did not finish in time, so this action was "
                "not done. What you typed is kept; try again in a moment.");
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
            return QStringLiteral(
                "The database file, or the folder it lies in, cannot be written here (the "
                "program writes a journal beside the file while it stores), so this action "
                "was not done. What you typed is kept. Ask whoever looks after this computer "
                "to let you write to both.");
        case SQLITE_FULL:
            return QStringLiteral(
                "The disk that holds the database file is full, so this action was not done. "
                "What you typed is kept; make room on that disk and try again.");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral(
                "The database file is damaged, so this action was not done. What you typed "
                "is kept. Restore the file from its latest backup before going on.");
        default:
            return {};
    }
}

// SQLite's words for what failed, after ours where a desk meets it in its day; ours
// alone where it gives none ("not an error" is the text of its success code).
QString engineText(sqlite3* db, const QString& doing) {
    const QString engine = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory").trimmed();
    if (engine.isEmpty() || engine == QLatin1String("not an error"))
        return doing + QStringLiteral(": the database engine gave no reason.");
    const QString ours = db ? inOurWords(sqlite3_errcode(db)) : QString();
    if (!ours.isEmpty())
        return ours + QStringLiteral(" (SQLite: ") + engine + QLatin1Char(')');
    return doing + QStringLiteral(": ") + engine;
}

// One prepared statement with its values bound; finalised with it.
class BoundStatement {
public:
    BoundStatement(sqlite3* db, const QString& statement, const QStringList& parameters) : db_(db) {
        const QByteArray text = statement.toUtf8();
        if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &statement_, nullptr) !=
            SQLITE_OK)
            fail(QStringLiteral("Unable to execute statement"));
        for (int k = 0; k < parameters.size(); ++k) {
            const QString& value = parameters.at(k);
            const QByteArray utf8 = base::toStoredBytes(value);
            const int bound = value.isNull()
                                  ? sqlite3_bind_null(statement_, k + 1)
                                  : sqlite3_bind_text(statement_, k + 1, utf8.constData(),
                                                      int(utf8.size()), SQLITE_TRANSIENT);
            if (bound != SQLITE_OK)
                fail(QStringLiteral("Unable to bind a value"));
        }
    }
    ~BoundStatement() { sqlite3_finalize(statement_); }
    BoundStatement(const BoundStatement&) = delete;
    BoundStatement& operator=(const BoundStatement&) = delete;

    // The next row; false at the end.
    bool step() {
        const int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            fail(QStringLiteral("Unable to fetch row"));
        return false;
    }
    int columns() const { return sqlite3_column_count(statement_); }
    QString value(int column) const {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL)
            return {};
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return base::fromStoredBytes(
            QByteArrayView(text, sqlite3_column_bytes(statement_, column)));
    }

private:
    [[noreturn]] void fail(const QString& doing) const { throw DbError(engineText(db_, doing)); }

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// pelmar_fold(text): the text as a search compares it (base/searchfold.h), for the
// statements of this program only. No index or trigger may use it: another program
// that opens the file knows no such function.
void foldForSearch(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    const int length = sqlite3_value_bytes(arguments[0]);
    // Most stored texts are ASCII, whose folding is its lower case; the searched
    // text comes from the index in lower case already, and goes back as it is.
    bool onlyAscii = true, hasUpper = false;
    for (const char* at = text; at < text + length; ++at) {
        const auto c = static_cast<unsigned char>(*at);
        onlyAscii &= c < 0x80;
        hasUpper |= c >= 'A' && c <= 'Z';
    }
    if (onlyAscii && !hasUpper) {
        sqlite3_result_value(context, arguments[0]);
        return;
    }
    if (onlyAscii) {
        std::string lower(text, std::size_t(length));
        for (char& c : lower) {
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        }
        sqlite3_result_text(context, lower.data(), length, SQLITE_TRANSIENT);
        return;
    }
    const QByteArray folded =
        base::foldedForSearch(base::fromStoredUtf8(QByteArrayView(text, length))).toUtf8();
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

}  // namespace

SqliteDb::SqliteDb(const QString& path, int busyTimeoutMs)
    : path_(path), busyTimeoutMs_(busyTimeoutMs) {
    // A connection is used by one thread at a time (a finder's is opened on its own
    // thread), so SQLite need not lock around every value; an interrupt from another
    // thread takes no lock.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(existingFileUri(path).toUtf8().constData(), &db_, flags, nullptr) !=
        SQLITE_OK) {
        const QString text = engineText(db_, QStringLiteral("Cannot open '%1'").arg(path));
        sqlite3_close(db_);
        throw DbError(text);
    }
    sqlite3_busy_handler(db_, &SqliteDb::onBusy, this);
    sqlite3_create_function_v2(db_, "pelmar_fold", 1, SQLITE_UTF8, nullptr, foldForSearch, nullptr,
                               nullptr, nullptr);
}

void SqliteDb::interrupt() {
    sqlite3_interrupt(db_);
}

void SqliteDb::showWaitsOn(WaitDisplay* display, std::function<void()> idle) {
    display_ = display;
    idle_ = std::move(idle);
}

int SqliteDb::onBusy(void* self, int count) {
    auto& db = *static_cast<SqliteDb*>(self);
    if (count == 0) {
        db.busySince_.start();
        db.cancelled_ = false;
    }
    if (db.cancelled_ || db.busySince_.elapsed() >= db.busyTimeoutMs_)
        return 0;
    // Only the window's own connection has a display (Store::openFile): a connection
    // of a thread of its own (Connection::another) only waits.
    if (!db.display_) {
        sqlite3_sleep(10);
        return 1;
    }
    // Paints and timers go on; what they would start waits for the end (waiting()).
    // The operator's input waits too until the display shows, and then the display
    // is modal.
    db.waiting_ = true;
    if (!db.shown_ && db.busySince_.elapsed() >= ServerWait::kShowAfterMs) {
        db.shown_ = true;
        db.display_->show(
            QStringLiteral("database file '%1', which another desk or program (another "
                           "PelmarEntry, an export or a backup) is writing,")
                .arg(db.path_),
            [&db] { db.cancelled_ = true; });
    }
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec(db.shown_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return db.cancelled_ ? 0 : 1;
}

void SqliteDb::refuseWhileWaiting() const {
    // Only what the event loop starts during a wait could come here: it must go
    // through Store::whenIdle, which holds it until the wait is over.
    if (waiting_)
        throw DbError(
            QStringLiteral("The program is still waiting for the database file; "
                           "nothing was changed. Try again in a moment."));
}

void SqliteDb::waitEnded() {
    if (!std::exchange(waiting_, false))
        return;
    if (std::exchange(shown_, false))
        display_->hide();
    if (idle_)
        idle_();
}

SqliteDb::~SqliteDb() {
    sqlite3_close(db_);
}

QList<QStringList> SqliteDb::select(const QString& statement, const QStringList& parameters) {
    refuseWhileWaiting();
    const auto ended = qScopeGuard([this] { waitEnded(); });
    BoundStatement query(db_, statement, parameters);
    QList<QStringList> rows;
    const int columns = query.columns();
    while (query.step()) {
        QStringList values;
        values.reserve(columns);
        for (int column = 0; column < columns; ++column)
            values.append(query.value(column));
        rows.append(values);
    }
    return rows;
}

long long SqliteDb::change(const QString& statement, const QStringList& parameters) {
    refuseWhileWaiting();
    const auto ended = qScopeGuard([this] { waitEnded(); });
    BoundStatement query(db_, statement, parameters);
    while (query.step()) {
    }
    return sqlite3_changes64(db_);
}

QStringList SqliteDb::columnNames(const QString& table) {
    QStringList names;
    for (const QStringList& row :
         select(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table}))
        names.append(row.value(0));
    return names;
}

QString quotedName(const QString& name) {
    QString body = name;
    return QLatin1Char('"') + body.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

FileTransaction::FileTransaction(SqliteDb& db) : db_(db) {
    db_.change(QStringLiteral("BEGIN IMMEDIATE"));
}

FileTransaction::~FileTransaction() {
    if (!open_)
        return;
    try {
        db_.change(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // SQLite rolled back by itself.
    }
}

void FileTransaction::commit() {
    db_.change(QStringLiteral("COMMIT"));
    open_ = false;
}

}  // namespace db

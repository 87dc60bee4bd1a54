#include "tablereader.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <limits>

#include "connection.h"
#include "dberror.h"
#include "sqlitedb.h"
#include "sqlitefile.h"

namespace db {

FileTableReader::FileTableReader(const QString& path) : path_(path) {
    if (!QFileInfo(path).isFile())
        throw DbError(QStringLiteral("Could not find file '%1'.").arg(path));
    // Opened for writing as the program's own connection is, never created: a program
    // killed while it wrote leaves a journal that the next reader must roll back first,
    // which a read-only connection cannot. Its statements still only read (query_only).
    // One thread uses it, so SQLite need not lock around every value.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(existingFileUri(path).toUtf8().constData(), &db_, flags, nullptr) !=
        SQLITE_OK) {
        const QString text = errorText(QStringLiteral("Cannot open '%1'").arg(path));
        sqlite3_close(db_);
        throw DbError(text);
    }
    sqlite3_busy_timeout(db_, Connection::kBusyTimeoutMs);
    sqlite3_exec(db_, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
}

FileTableReader::~FileTableReader() {
    sqlite3_finalize(statement_);
    sqlite3_close(db_);
}

QString FileTableReader::errorText(const QString& context) const {
    const char* text = db_ ? sqlite3_errmsg(db_) : "out of memory";
    return context + QStringLiteral(": ") + QString::fromUtf8(text);
}

void FileTableReader::fail(const QString& context) const {
    throw DbError(errorText(context));
}

void FileTableReader::openTable(const QString& table) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    // A part at a time by rowid, in the order a plain read gives: each part's read
    // ends with it, so that a desk that writes meanwhile waits for one part only and
    // never for the whole read, which on a million listings takes seconds.
    const QByteArray query = QStringLiteral(
                                 "SELECT rowid, * FROM %1 WHERE rowid > ? ORDER BY "
                                 "rowid LIMIT %2")
                                 .arg(quotedName(table))
                                 .arg(kPartRows)
                                 .toUtf8();
    if (sqlite3_prepare_v2(db_, query.constData(), -1, &statement_, nullptr) != SQLITE_OK)
        fail(QStringLiteral("Cannot read '%1'").arg(path_));
    sqlite3_bind_int64(statement_, 1, std::numeric_limits<sqlite3_int64>::min());
    inPart_ = 0;
}

int FileTableReader::columnCount() const {
    return sqlite3_column_count(statement_) - 1;
}

QString FileTableReader::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(statement_, column + 1));
}

bool FileTableReader::next() {
    for (;;) {
        const int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW) {
            ++inPart_;
            last_ = sqlite3_column_int64(statement_, 0);
            return true;
        }
        if (result != SQLITE_DONE)
            fail(QStringLiteral("Cannot read '%1'").arg(path_));
        if (inPart_ < kPartRows)
            return false;
        sqlite3_reset(statement_);
        sqlite3_bind_int64(statement_, 1, last_);
        inPart_ = 0;
    }
}

std::optional<std::string_view> FileTableReader::text(int column) const {
    // Text first, then its length: that order leaves the value in its UTF-8 form.
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column + 1));
    if (!data) {
        if (sqlite3_column_type(statement_, column + 1) != SQLITE_NULL)
            fail(QStringLiteral("Cannot read '%1'").arg(path_));
        return std::nullopt;
    }
    return std::string_view(data, std::size_t(sqlite3_column_bytes(statement_, column + 1)));
}

}  // namespace db

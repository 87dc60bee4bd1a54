#include "backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <chrono>
#include <cstdio>
#include <thread>

#include "connection.h"
#include "dberror.h"
#include "sqlitefile.h"

namespace db {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The words of every failed backup: what failed, and that nothing else changed.
QString failureText(const QString& source, const QString& target, const QString& what) {
    return QStringLiteral(
               "The backup of '%1' was not made: %2. The database itself is "
               "unchanged, and so is anything already at '%3'.")
        .arg(shown(source), what, shown(target));
}

// The copy on the disk itself before it takes the target's name: a backup that a
// power cut loses after it said it was done is no backup.
bool flushToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

}  // namespace

FileBackup::FileBackup(const QString& source, const QString& target)
    : source_(source), target_(target) {
    const QFileInfo from(source);
    if (!from.isFile())
        throw DbError(
            failureText(source, target, QStringLiteral("there is no database file there")));
    const QFileInfo to(target);
    if (to.exists() && to.canonicalFilePath() == from.canonicalFilePath())
        throw DbError(failureText(source, target,
                                  QStringLiteral("the backup would be written over the database "
                                                 "itself; choose another name")));
    // Opened for writing, never created, as the program opens it: a journal left by a
    // program killed in a write must be rolled back before the pages are read.
    if (sqlite3_open_v2(existingFileUri(source).toUtf8().constData(), &from_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
        fail(QStringLiteral("the database cannot be opened"), from_);
    sqlite3_busy_timeout(from_, Connection::kBusyTimeoutMs);
    if (sqlite3_exec(from_, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        fail(QStringLiteral("the database cannot be read"), from_);

    QTemporaryFile file(to.absolutePath() + QStringLiteral("/.") + to.fileName() +
                        QStringLiteral(".backup-XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        throw DbError(failureText(source, target,
                                  QStringLiteral("the folder '%1' cannot be written (%2)")
                                      .arg(shown(to.absolutePath()), file.errorString())));
    temporary_ = file.fileName();
    file.close();
    // The copy may be read by whoever may read the database, and no one else.
    QFile::setPermissions(temporary_, from.permissions());
    if (sqlite3_open_v2(existingFileUri(temporary_).toUtf8().constData(), &to_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
        fail(QStringLiteral("the copy cannot be written"), to_);
    backup_ = sqlite3_backup_init(to_, "main", from_, "main");
    if (!backup_)
        fail(QStringLiteral("the copy cannot be started"), to_);
}

FileBackup::~FileBackup() {
    if (backup_)
        sqlite3_backup_finish(backup_);
    sqlite3_close(to_);
    sqlite3_close(from_);
    if (!finished_ && !temporary_.isEmpty())
        QFile::remove(temporary_);
}

void FileBackup::fail(const QString& what, sqlite3* db) const {
    const QString engine = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
    throw DbError(
        failureText(source_, target_, what + QStringLiteral(" (") + engine + QLatin1Char(')')));
}

bool FileBackup::step(int pages) {
    if (done_)
        return true;
    // A desk that writes between every step would start the copy over for ever.
    const int rc = sqlite3_backup_step(backup_, restarts_ >= kRestartsBeforeWhole ? -1 : pages);
    const int left = sqlite3_backup_remaining(backup_);
    if (lastRemaining_ >= 0 && left >= lastRemaining_)
        ++restarts_;
    lastRemaining_ = left;
    switch (rc) {
        case SQLITE_DONE:
            done_ = true;
            return true;
        case SQLITE_OK:
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return false;
        default:
            fail(QStringLiteral("the database could not be read to the end"), to_);
    }
}

int FileBackup::remaining() const {
    return sqlite3_backup_remaining(backup_);
}

int FileBackup::pageCount() const {
    return sqlite3_backup_pagecount(backup_);
}

void FileBackup::finish() {
    if (!done_)
        throw DbError(failureText(source_, target_, QStringLiteral("the copy is not complete")));
    const int rc = sqlite3_backup_finish(backup_);
    backup_ = nullptr;
    if (rc != SQLITE_OK)
        fail(QStringLiteral("the copy could not be completed"), to_);

    QStringList problems;
    const auto collect = [](void* list, int, char** values, char**) {
        static_cast<QStringList*>(list)->append(QString::fromUtf8(values[0] ? values[0] : ""));
        return 0;
    };
    if (sqlite3_exec(to_, "PRAGMA integrity_check", collect, &problems, nullptr) != SQLITE_OK)
        fail(QStringLiteral("the copy could not be checked"), to_);
    if (problems != QStringList{QStringLiteral("ok")})
        throw DbError(failureText(
            source_, target_,
            QStringLiteral("the copy failed its check (%1); the database may be damaged, "
                           "so keep the backups you have")
                .arg(problems.mid(0, 3).join(QStringLiteral("; ")))));
    sqlite3_close(to_);
    to_ = nullptr;
    if (!flushToDisk(temporary_) || std::rename(QFile::encodeName(temporary_).constData(),
                                                QFile::encodeName(target_).constData()) != 0)
        throw DbError(failureText(source_, target_,
                                  QStringLiteral("the copy could not be stored under that name")));
    finished_ = true;
}

void backUpFile(const QString& source, const QString& target) {
    FileBackup backup(source, target);
    while (!backup.step(256))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    backup.finish();
}

}  // namespace db

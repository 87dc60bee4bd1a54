#pragma once

#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_backup;

namespace db {

// A copy of a database file taken while other desks and programs go on writing it,
// through SQLite's online backup: the pages are copied a few at a time, and between
// the steps any other connection may write (a write restarts the copy, so that what
// is copied is always one consistent state). The copy is made in a temporary file
// beside the target and checked with integrity_check; only then does it take the
// target's name, so a failed or cancelled backup leaves an older backup of that
// name as it was.
class FileBackup {
public:
    // Opens the database at `source` (never creating it) and a new temporary file
    // beside `target`. Throws DbError when the source is missing or no database, the
    // target names the source itself, or the target's folder cannot be written.
    FileBackup(const QString& source, const QString& target);
    // Unless finished, removes the temporary file: the target stays as it was.
    ~FileBackup();
    FileBackup(const FileBackup&) = delete;
    FileBackup& operator=(const FileBackup&) = delete;

    // Copies up to `pages` pages; true once every page is copied. A source locked by
    // another desk's write is tried again at the next step. Throws DbError.
    bool step(int pages);
    // The pages left to copy and the source's pages in all, as of the last step.
    int remaining() const;
    int pageCount() const;

    // After the last step: checks the copy and gives it the target's name. Throws
    // DbError, the copy removed, when it is not whole.
    void finish();

    // Steps in which another connection's write started the copy over before it is
    // copied in one step, the source then held against writers for that step only.
    static constexpr int kRestartsBeforeWhole = 8;

private:
    [[noreturn]] void fail(const QString& what, sqlite3* db) const;

    QString source_;
    QString target_;
    QString temporary_;
    sqlite3* from_ = nullptr;
    sqlite3* to_ = nullptr;
    sqlite3_backup* backup_ = nullptr;
    int restarts_ = 0;
    int lastRemaining_ = -1;
    bool done_ = false;
    bool finished_ = false;
};

// The whole backup in one call, for a shell or cron job: steps of a few hundred
// pages with a pause between them, in which other desks' writes go through.
void backUpFile(const QString& source, const QString& target);

}  // namespace db

#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>

namespace xls {

// A new file on disk that replaces the file at a path only once it is complete. It
// is built under a temporary name beside the target, ".<name>.export-XXXXXX", and
// takes the target's name only when commit() succeeds; until then, and after any
// failure, the previous file stays as it was and the temporary one is removed. The
// temporary file stays locked while it is written, so that a later export can tell
// the leftover of a program that was killed (which it removes) from the file of an
// export still running (which it leaves alone). A target that is a symbolic link
// keeps it: the file it points to is replaced. The file is on the disk, under its new
// name, when commit() returns. Failures throw xls::Error with the system's text.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // The open temporary file, for a writer that is handed a stream.
    std::FILE* stream() const { return file_; }
    // Its name, for a writer that opens the file by name itself: it writes the same
    // file, which the lock held here keeps covered.
    const QByteArray& temporaryPath() const { return temporary_; }

    // Called as the file grows, by whoever writes it: once another 8 MB have reached
    // the file, they are started on their way to the disk, and those started the time
    // before are dropped from the system's cache where they are on the disk already.
    // A large file then goes to the disk while it is written rather than all at once
    // in commit(), and does not push everything else out of the cache. It never waits
    // for the disk; a failed write still shows in commit().
    void settleWritten();
    // Writes out what the stream buffers, puts the file on the disk and gives it the
    // target's name.
    void commit();
    // Removes the temporary file; the previous file stays as it was. Done by the
    // destructor too.
    void abandon();
    // Abandons the file and throws xls::Error "Cannot write '<path>': <reason>".
    [[noreturn]] void failWith(const QString& reason);

    // Whether `fileName` is the temporary name of a file that replaces `target`.
    static bool isTemporaryOf(const QString& fileName, const QString& target);

private:
    QString path_;
    QByteArray target_;
    QByteArray temporary_;
    std::FILE* file_ = nullptr;
    // How far the file was started towards the disk, and how far it is there.
    std::uint64_t started_ = 0;
    std::uint64_t settled_ = 0;
};

}  // namespace xls

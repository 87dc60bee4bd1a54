#include "replacingfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "xlserror.h"

namespace xls {

namespace {

const QString kTemporaryInfix = QStringLiteral(".export-");
constexpr int kRandomPart = 6;  // mkstemp's XXXXXX

QString temporaryPrefix(const QString& target) {
    return QLatin1Char('.') + QFileInfo(target).fileName() + kTemporaryInfix;
}

bool sameFile(int fd, const QByteArray& path) {
    struct stat byName {
    }, byHandle{};
    return ::lstat(path.constData(), &byName) == 0 && ::fstat(fd, &byHandle) == 0 &&
           byName.st_dev == byHandle.st_dev && byName.st_ino == byHandle.st_ino;
}

// Temporary files of earlier exports to the same target whose writer is gone: a
// running export holds a lock on its file, which the system drops when the program
// ends, however it ends.
void removeLeftovers(const QString& target) {
    const QFileInfo info(target);
    const QString prefix = temporaryPrefix(target);
    const QStringList names =
        QDir(info.absolutePath())
            .entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!ReplacingFile::isTemporaryOf(name, target))
            continue;
        const QByteArray path = QFile::encodeName(info.absoluteDir().filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFile(fd, path))
            ::unlink(path.constData());
        ::close(fd);
    }
}

void syncFolderOf(const QByteArray& file) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(file)).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The file that a save to `path` replaces: the end of a chain of symbolic links, as a
// spreadsheet program's save keeps the link and replaces what it points to. A link
// that points nowhere is refused: a new file at its end might lie anywhere.
QString replacedFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString target = info.canonicalFilePath();
    if (target.isEmpty())
        throw xls::Error(
            QStringLiteral("Cannot write '%1': it is a link to '%2', which does not exist. The "
                           "workbook was not written. Remove the link, or make it point to an "
                           "existing workbook, and export again.")
                .arg(path, info.symLinkTarget()));
    return target;
}

mode_t newFileMode(const QByteArray& target) {
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool ReplacingFile::isTemporaryOf(const QString& fileName, const QString& target) {
    const QString prefix = temporaryPrefix(target);
    return fileName.size() == prefix.size() + kRandomPart && fileName.startsWith(prefix);
}

ReplacingFile::ReplacingFile(const QString& link) : path_(link) {
    const QString path = replacedFile(link);
    removeLeftovers(path);
    const QFileInfo info(path);
    target_ = QFile::encodeName(info.absoluteFilePath());
    // Locked at once, and then checked to be still in place: a leftover sweep by
    // another program may have taken the name in the moment between.
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 10; ++attempt) {
        temporary_ = QFile::encodeName(info.absoluteDir().filePath(temporaryPrefix(path))) +
                     QByteArray(kRandomPart, 'X');
        fd = ::mkostemp(temporary_.data(), O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            temporary_.clear();
            failWith(systemError(error));
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !sameFile(fd, temporary_)) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        failWith(QStringLiteral("no temporary file could be locked"));
    ::fchmod(fd, newFileMode(target_));
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary_.constData());
        temporary_.clear();
        failWith(systemError(error));
    }
}

ReplacingFile::~ReplacingFile() {
    abandon();
}

void ReplacingFile::settleWritten() {
    constexpr std::uint64_t kSettleEvery = std::uint64_t(8) << 20;
    const int fd = ::fileno(file_);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || std::uint64_t(status.st_size) < started_ + kSettleEvery)
        return;
    // Nothing here waits for the disk, which may be slow or across a network: the
    // writer may be a window's thread. The part started the time before is dropped
    // where it is already on the disk; the rest stays until the system writes it.
    // Errors are left to the sync in commit(), which reports any write that failed.
    if (started_ > settled_)  // a length of 0 would mean the whole rest of the file
        ::posix_fadvise(fd, off_t(settled_), off_t(started_ - settled_), POSIX_FADV_DONTNEED);
    settled_ = started_;
    const auto size = std::uint64_t(status.st_size);
    ::sync_file_range(fd, off_t(started_), off_t(size - started_), SYNC_FILE_RANGE_WRITE);
    started_ = size;
}

void ReplacingFile::commit() {
    // On the disk before it takes the name: after a power cut the name must not stand
    // for a file whose blocks never reached the disk. The sync covers the file, however
    // many handles wrote it.
    if (std::fflush(file_) != 0 || std::ferror(file_) || ::fdatasync(::fileno(file_)) != 0)
        failWith(systemError(errno));
    // Renamed while still locked: no sweep can take the finished file meanwhile.
    if (::rename(temporary_.constData(), target_.constData()) != 0)
        failWith(systemError(errno));
    temporary_.clear();
    // And the new name itself on the disk, in its folder.
    syncFolderOf(target_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed)
        failWith(systemError(errno));
}

void ReplacingFile::abandon() {
    // Removed before its lock goes with the file.
    if (!temporary_.isEmpty()) {
        ::unlink(temporary_.constData());
        temporary_.clear();
    }
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void ReplacingFile::failWith(const QString& reason) {
    const QString text = QStringLiteral("Cannot write '%1': %2").arg(path_, reason);
    abandon();
    throw xls::Error(text);
}

}  // namespace xls

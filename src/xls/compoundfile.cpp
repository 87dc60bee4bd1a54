// GLib names a struct member "signals", which Qt's headers define as a keyword:
// the GLib side comes first.
#include <gsf/gsf.h>

#include "compoundfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <string>

#include "xlserror.h"

namespace xls {

namespace {

// The container keeps a stream under 4,096 bytes in its small-block area; Excel
// expects its workbook stream in the large blocks, as it writes its own.
constexpr gsf_off_t kMinStream = 4096;

const QString kTemporaryInfix = QStringLiteral(".export-");
constexpr int kRandomPart = 6;  // mkstemp's XXXXXX

QString textOf(const GError* error) {
    return error ? QString::fromUtf8(error->message) : QStringLiteral("unknown error");
}

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
        if (!CompoundFile::isTemporaryOf(name, target))
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

struct CompoundFile::Parts {
    QByteArray target;
    QByteArray temporary;
    std::FILE* file = nullptr;
    GsfOutput* sink = nullptr;
    GsfOutfile* root = nullptr;
    GsfOutput* stream = nullptr;
};

bool CompoundFile::isTemporaryOf(const QString& fileName, const QString& target) {
    const QString prefix = temporaryPrefix(target);
    return fileName.size() == prefix.size() + kRandomPart && fileName.startsWith(prefix);
}

CompoundFile::CompoundFile(const QString& link) : path_(link), parts_(std::make_unique<Parts>()) {
    const QString path = replacedFile(link);
    removeLeftovers(path);
    const QFileInfo info(path);
    parts_->target = QFile::encodeName(info.absoluteFilePath());
    // Locked at once, and then checked to be still in place: a leftover sweep by
    // another program may have taken the name in the moment between.
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 10; ++attempt) {
        parts_->temporary = QFile::encodeName(info.absoluteDir().filePath(temporaryPrefix(path))) +
                            QByteArray(kRandomPart, 'X');
        fd = ::mkostemp(parts_->temporary.data(), O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            parts_->temporary.clear();
            failWith(systemError(error));
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !sameFile(fd, parts_->temporary)) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        failWith(QStringLiteral("no temporary file could be locked"));
    ::fchmod(fd, newFileMode(parts_->target));
    parts_->file = ::fdopen(fd, "wb");
    if (!parts_->file) {
        const int error = errno;
        ::close(fd);
        ::unlink(parts_->temporary.constData());
        failWith(systemError(error));
    }
    parts_->sink = gsf_output_stdio_new_FILE(parts_->temporary.constData(), parts_->file, TRUE);
    parts_->root = gsf_outfile_msole_new(parts_->sink);
    parts_->stream = gsf_outfile_new_child(parts_->root, "Workbook", FALSE);
    if (!parts_->sink || !parts_->root || !parts_->stream)
        fail();
}

CompoundFile::~CompoundFile() {
    abandon();
}

void CompoundFile::write(const char* data, std::size_t size) {
    if (!gsf_output_write(parts_->stream, size, reinterpret_cast<const guint8*>(data)))
        fail();
}

void CompoundFile::overwrite(std::uint64_t offset, const char* data, std::size_t size) {
    if (!gsf_output_seek(parts_->stream, gsf_off_t(offset), G_SEEK_SET) ||
        !gsf_output_write(parts_->stream, size, reinterpret_cast<const guint8*>(data)) ||
        !gsf_output_seek(parts_->stream, 0, G_SEEK_END))
        fail();
}

void CompoundFile::commit() {
    const gsf_off_t size = gsf_output_size(parts_->stream);
    if (size < kMinStream) {
        // Readers stop at the last EOF record and ignore the zeros after it.
        const std::string zeros(std::size_t(kMinStream - size), '\0');
        write(zeros.data(), zeros.size());
    }
    bool closed = gsf_output_close(parts_->stream);
    g_clear_object(&parts_->stream);
    // A full disk shows only here: the stream's writes succeed, closing the root fails
    // and the sink records the error.
    closed = gsf_output_close(GSF_OUTPUT(parts_->root)) && closed;
    g_clear_object(&parts_->root);
    // The root closes the sink with it.
    if (!gsf_output_is_closed(parts_->sink))
        closed = gsf_output_close(parts_->sink) && closed;
    if (!closed || gsf_output_error(parts_->sink))
        fail();
    g_clear_object(&parts_->sink);
    // On the disk before it takes the name: after a power cut the name must not stand
    // for a file whose blocks never reached the disk.
    if (std::fflush(parts_->file) != 0 || std::ferror(parts_->file) ||
        ::fdatasync(::fileno(parts_->file)) != 0)
        failWith(systemError(errno));
    // Renamed while still locked: no sweep can take the finished file meanwhile.
    if (::rename(parts_->temporary.constData(), parts_->target.constData()) != 0)
        failWith(systemError(errno));
    parts_->temporary.clear();
    // And the new name itself on the disk, in its folder.
    syncFolderOf(parts_->target);
    const bool closedFile = std::fclose(parts_->file) == 0;
    parts_->file = nullptr;
    if (!closedFile)
        failWith(systemError(errno));
}

void CompoundFile::fail() {
    const GError* error = nullptr;
    for (GsfOutput* output : {parts_->stream, GSF_OUTPUT(parts_->root), parts_->sink}) {
        if (output && !error)
            error = gsf_output_error(output);
    }
    failWith(textOf(error));
}

void CompoundFile::failWith(const QString& reason) {
    const QString text = QStringLiteral("Cannot write '%1': %2").arg(path_, reason);
    abandon();
    throw xls::Error(text);
}

void CompoundFile::abandon() {
    if (parts_->sink && !gsf_output_error(parts_->sink))
        gsf_output_set_error(parts_->sink, 0, "export abandoned");
    if (parts_->stream) {
        gsf_output_close(parts_->stream);
        g_clear_object(&parts_->stream);
    }
    if (parts_->root) {
        gsf_output_close(GSF_OUTPUT(parts_->root));
        g_clear_object(&parts_->root);
    }
    if (parts_->sink) {
        if (!gsf_output_is_closed(parts_->sink))
            gsf_output_close(parts_->sink);
        g_clear_object(&parts_->sink);
    }
    // Removed before its lock goes with the file.
    if (!parts_->temporary.isEmpty()) {
        ::unlink(parts_->temporary.constData());
        parts_->temporary.clear();
    }
    if (parts_->file) {
        std::fclose(parts_->file);
        parts_->file = nullptr;
    }
}

}  // namespace xls

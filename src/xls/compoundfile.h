#pragma once

#include <QString>
#include <memory>

#include "bytesink.h"

namespace xls {

// A new Excel 97 file on disk: an OLE2 compound file whose one stream, "Workbook",
// receives what is written. The file is built under a temporary name beside the
// target, ".<name>.export-XXXXXX", and takes the target's name only when commit()
// succeeds; until then, and after any failure, the previous file stays as it was and
// the temporary one is removed. The temporary file stays locked while it is written,
// so that a later export can tell the leftover of a program that was killed (which
// it removes) from the file of an export still running (which it leaves alone).
// A target that is a symbolic link keeps it: the file it points to is replaced. The
// file is on the disk, under its new name, when commit() returns.
// Failures throw xls::Error with the system's text.
class CompoundFile final : public ByteSink {
public:
    explicit CompoundFile(const QString& path);
    ~CompoundFile() override;
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    void write(const char* data, std::size_t size) override;
    void overwrite(std::uint64_t offset, const char* data, std::size_t size) override;

    void commit();

    // Whether `fileName` is the temporary name of an export to `target`.
    static bool isTemporaryOf(const QString& fileName, const QString& target);

private:
    struct Parts;
    [[noreturn]] void fail();
    [[noreturn]] void failWith(const QString& reason);
    void abandon();

    QString path_;
    std::unique_ptr<Parts> parts_;
};

}  // namespace xls

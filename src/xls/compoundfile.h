#pragma once

#include <QString>
#include <memory>

#include "bytesink.h"

namespace xls {

// A new Excel 97 file on disk: an OLE2 compound file whose one stream, "Workbook",
// receives what is written. The file is built under a temporary name in the target's
// folder and takes the target's name only when commit() succeeds; until then, and
// after any failure, the previous file stays as it was and the temporary one is
// removed. Failures throw xls::Error with the system's text.
class CompoundFile final : public ByteSink {
public:
    explicit CompoundFile(const QString& path);
    ~CompoundFile() override;
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    void write(const char* data, std::size_t size) override;
    void overwrite(std::uint64_t offset, const char* data, std::size_t size) override;

    void commit();

private:
    struct Parts;
    [[noreturn]] void fail();
    void abandon();

    QString path_;
    std::unique_ptr<Parts> parts_;
};

}  // namespace xls

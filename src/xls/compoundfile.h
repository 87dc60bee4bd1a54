#pragma once

#include <QString>
#include <memory>

#include "bytesink.h"

namespace xls {

// A new Excel 97 file on disk: an OLE2 compound file whose one stream, "Workbook",
// receives what is written. It replaces the file at the path only when commit()
// succeeds (xls::ReplacingFile); after any failure the previous file stays as it was.
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
    void abandon();

    std::unique_ptr<Parts> parts_;
};

}  // namespace xls

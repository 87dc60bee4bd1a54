#include "biffwriter.h"

#include <stdexcept>

#include "littleendian.h"

namespace xls {

namespace {
constexpr std::size_t kFlushAt = 1 << 20;
}

void BiffWriter::end() {
    buffer_.end();
    if (buffer_.size() >= kFlushAt)
        flush();
}

void BiffWriter::raw(std::string_view records) {
    if (buffer_.size() + records.size() < kFlushAt) {
        buffer_.bytes(records);
        return;
    }
    flush();
    sink_.write(records.data(), records.size());
    wrote(records.size());
}

void BiffWriter::patchU32(std::uint64_t offset, std::uint32_t value) {
    flush();
    char le[4];
    putU32(le, value);
    sink_.overwrite(offset, le, sizeof le);
}

void BiffWriter::flush() {
    if (buffer_.isOpen())
        throw std::logic_error("a BIFF record is still open");
    if (buffer_.size() == 0)
        return;
    sink_.write(buffer_.data().data(), buffer_.size());
    const std::size_t size = buffer_.size();
    buffer_.clear();
    wrote(size);
}

void BiffWriter::wrote(std::size_t size) {
    flushed_ += size;
    if (written_)
        written_(flushed_);
}

}  // namespace xls

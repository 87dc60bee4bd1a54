#include "recordbuffer.h"

#include <bit>
#include <stdexcept>

#include "littleendian.h"

namespace xls {

void RecordBuffer::begin(std::uint16_t id) {
    if (isOpen())
        throw std::logic_error("a BIFF record is already open");
    open_ = bytes_.size();
    u16(id);
    u16(0);
}

void RecordBuffer::end() {
    const std::size_t size = recordSize();
    // A longer record is read as garbage by some readers and silently by others.
    if (size > kMaxData)
        throw std::logic_error("a BIFF record exceeds 8,224 bytes");
    putU16(&bytes_[open_ + 2], std::uint16_t(size));
    open_ = kClosed;
}

void RecordBuffer::u16(std::uint16_t value) {
    char le[2];
    putU16(le, value);
    bytes_.append(le, sizeof le);
}

void RecordBuffer::u32(std::uint32_t value) {
    char le[4];
    putU32(le, value);
    bytes_.append(le, sizeof le);
}

void RecordBuffer::f64(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    u32(std::uint32_t(bits));
    u32(std::uint32_t(bits >> 32));
}

void RecordBuffer::patchU32(std::size_t offset, std::uint32_t value) {
    if (offset + 4 > bytes_.size())
        throw std::logic_error("a BIFF field beyond the records laid out");
    putU32(&bytes_[offset], value);
}

void RecordBuffer::record(std::uint16_t id, std::string_view data) {
    begin(id);
    bytes(data);
    end();
}

void RecordBuffer::clear() {
    bytes_.clear();
    open_ = kClosed;
}

}  // namespace xls

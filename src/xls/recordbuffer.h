#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xls {

// Whole BIFF records laid out in memory: a record id and length, then the fields,
// little-endian. begin() opens a record, end() fills in its length.
class RecordBuffer {
public:
    // The most data bytes a record may hold.
    static constexpr std::size_t kMaxData = 8224;
    static constexpr std::size_t kHeader = 4;

    void begin(std::uint16_t id);
    void end();
    bool isOpen() const { return open_ != kClosed; }
    // Data bytes of the open record so far.
    std::size_t recordSize() const { return bytes_.size() - open_ - kHeader; }

    void u8(std::uint8_t value) { bytes_.push_back(char(value)); }
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void bytes(std::string_view data) { bytes_.append(data); }
    void zeros(std::size_t count) { bytes_.append(count, '\0'); }
    void f64(double value);
    // Fills in a field laid out earlier, at an offset into data().
    void patchU32(std::size_t offset, std::uint32_t value);
    // A record of fixed content in one call.
    void record(std::uint16_t id, std::string_view data);

    const std::string& data() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    void clear();

private:
    static constexpr std::size_t kClosed = std::string::npos;
    std::string bytes_;
    std::size_t open_ = kClosed;
};

}  // namespace xls

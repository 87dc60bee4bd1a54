#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "bytesink.h"
#include "recordbuffer.h"

namespace xls {

// A workbook stream being written: records gather in memory and go to the sink in
// large pieces, whole records only.
class BiffWriter {
public:
    explicit BiffWriter(ByteSink& sink) : sink_(sink) {}

    RecordBuffer& records() { return buffer_; }
    // Closes the open record and passes the gathered records on once there are enough.
    void end();
    // Stream offset of the next byte written.
    std::uint64_t position() const { return flushed_ + buffer_.size(); }
    // Records already laid out elsewhere (a sheet's cells), passed on as they are.
    void raw(std::string_view records);
    void patchU32(std::uint64_t offset, std::uint32_t value);
    void flush();
    // Called with the stream's size after each piece that goes to the sink.
    void onWritten(std::function<void(std::uint64_t)> written) { written_ = std::move(written); }

private:
    void wrote(std::size_t size);

    ByteSink& sink_;
    RecordBuffer buffer_;
    std::uint64_t flushed_ = 0;
    std::function<void(std::uint64_t)> written_;
};

}  // namespace xls

#pragma once

#include <cstddef>
#include <cstdint>

namespace xls {

// Where a workbook stream goes: the compound file on disk, or memory in the tests.
// Failures throw.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const char* data, std::size_t size) = 0;
    // Replaces bytes already written, for fields known only later (a sheet's offset).
    virtual void overwrite(std::uint64_t offset, const char* data, std::size_t size) = 0;
};

}  // namespace xls

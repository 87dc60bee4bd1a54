#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string_view>

namespace xls {

// An anonymous temporary file: finished sheets wait here while the rows are read,
// so memory does not grow with the table. The system removes it when it is closed,
// even if the program ends abruptly. Failures throw xls::Error.
class SpillFile {
public:
    SpillFile();
    ~SpillFile();
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    void append(std::string_view bytes);
    std::uint64_t size() const { return size_; }
    // Reads back [begin, end) in large pieces, in order.
    void read(std::uint64_t begin, std::uint64_t end,
              const std::function<void(std::string_view)>& piece);

private:
    [[noreturn]] static void fail();

    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    bool reading_ = false;
};

}  // namespace xls

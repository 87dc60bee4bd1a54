#pragma once

#include <cstdint>
#include <exception>
#include <functional>

namespace xls {

// How far an export has come: rows read while the table is read, when the total is
// not known yet (total 0); then bytes written of the workbook's expected size.
struct Progress {
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};

// Told of the progress now and then; returns whether to go on.
using ProgressCallback = std::function<bool(const Progress&)>;

// Thrown when the callback stops an export; the previous workbook is kept as it was.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "the export was cancelled"; }
};

// Calls the callback, if any, and throws Cancelled when it says stop.
inline void report(const ProgressCallback& callback, Progress progress) {
    if (callback && !callback(progress))
        throw Cancelled();
}

}  // namespace xls

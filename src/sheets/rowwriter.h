#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "xls/writeprogress.h"

namespace sheets {

// A new spreadsheet file filled row by row: the header row first, then each row of
// text cells (UTF-8) from the first column on, a missing value an empty cell. The
// file replaces the one at its path only when commit() succeeds; a failure (thrown
// as xls::Error), a cancel (xls::Cancelled) or a writer destroyed before its commit
// leaves the previous file as it was and removes the unfinished one.
class RowWriter {
public:
    virtual ~RowWriter() = default;
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // Reports the rows written now and then (Progress{rows, 0}); the callback may
    // cancel.
    void addRow(std::span<const std::optional<std::string_view>> values);
    // Completes the file and puts it in place.
    virtual void commit() = 0;

    std::uint64_t rows() const { return rows_; }
    virtual std::size_t sheetCount() const = 0;
    // Cells whose text was cut to the most a cell holds, in the file only.
    virtual std::uint64_t cutCells() const = 0;

protected:
    explicit RowWriter(xls::ProgressCallback progress) : progress_(std::move(progress)) {}
    virtual void writeRow(std::span<const std::optional<std::string_view>> values) = 0;
    const xls::ProgressCallback& progress() const { return progress_; }

private:
    xls::ProgressCallback progress_;
    std::uint64_t rows_ = 0;
};

}  // namespace sheets

#pragma once

#include <QStringList>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rowhandoff.h"
#include "sheetcells.h"
#include "stringtable.h"
#include "writeprogress.h"

namespace xls {

class ByteSink;

// A workbook of text cells, filled row by row and then written out as an Excel 97
// (BIFF8) workbook stream. The first row of every sheet is the header; a full sheet
// goes on in the next one, "WorkSheet1", "WorkSheet2" and so on. Memory holds the
// distinct texts only: the cells wait in a spill file. The rows are looked up and
// laid out on a thread of the workbook's own while the caller reads the next ones.
class Workbook {
public:
    // Rows below the header on one sheet.
    static constexpr std::uint32_t kRowsPerSheet = SheetCells::kMaxRows - 1;
    static constexpr std::uint16_t kMaxColumns = 256;

    explicit Workbook(const QStringList& header);

    // One row of text cells (UTF-8) from the first column on; a missing value leaves
    // its cell blank. A failure to keep an earlier row is thrown here or by write().
    void addRow(std::span<const std::optional<std::string_view>> values);

    std::uint64_t rows() const { return rows_; }
    std::size_t sheetCount() const {
        return rows_ == 0 ? 1 : std::size_t(1 + (rows_ - 1) / kRowsPerSheet);
    }
    // Cells whose text was cut to the most a cell holds.
    std::uint64_t cutCells() const { return cutCells_ + cutHeadings_ * sheetCount(); }

    // Writes the workbook stream; the callback hears of the bytes written and may
    // cancel (xls::Cancelled).
    void write(ByteSink& sink, const ProgressCallback& progress = {});

    static QString sheetName(std::size_t index);

private:
    using Row = std::span<const std::optional<std::string_view>>;
    Row cutToCells(Row values);
    void keepRow(Row values);
    void startSheet();
    void addCells(Row values);

    std::vector<std::string> header_;
    StringTable strings_;
    SheetCells cells_;
    std::uint64_t rows_ = 0;
    std::uint32_t rowsInSheet_ = 0;
    std::uint64_t cutCells_ = 0;
    std::uint64_t cutHeadings_ = 0;
    // Per row, reused: the texts to look up, their columns and their indexes.
    std::vector<std::string_view> texts_;
    std::vector<std::uint16_t> columns_;
    std::vector<std::uint32_t> indexes_;
    // A row with texts cut to a cell's length, on the caller's side.
    std::vector<std::optional<std::string_view>> cutRow_;
    std::vector<std::string> cutTexts_;
    // Last, so that its thread stops before the rest goes.
    RowHandoff handoff_;
};

}  // namespace xls

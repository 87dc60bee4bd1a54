#pragma once

#include <QStringList>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sheetcells.h"
#include "stringtable.h"
#include "writeprogress.h"

namespace xls {

class ByteSink;

// A workbook of text cells, filled row by row and then written out as an Excel 97
// (BIFF8) workbook stream. The first row of every sheet is the header; a full sheet
// goes on in the next one, "WorkSheet1", "WorkSheet2" and so on. Memory holds the
// distinct texts only: the cells wait in a spill file.
class Workbook {
public:
    // Rows below the header on one sheet.
    static constexpr std::uint32_t kRowsPerSheet = SheetCells::kMaxRows - 1;
    static constexpr std::uint16_t kMaxColumns = 256;

    explicit Workbook(const QStringList& header);

    // One row of text cells (UTF-8) from the first column on; a missing value leaves
    // its cell blank.
    void addRow(std::span<const std::optional<std::string_view>> values);

    std::uint64_t rows() const { return rows_; }
    std::size_t sheetCount() const { return cells_.sheets().size(); }
    // Cells whose text was cut to the most a cell holds.
    std::uint64_t cutCells() const { return cutCells_; }

    // Writes the workbook stream; the callback hears of the bytes written and may
    // cancel (xls::Cancelled).
    void write(ByteSink& sink, const ProgressCallback& progress = {});

    static QString sheetName(std::size_t index);

private:
    void startSheet();
    void addCells(std::span<const std::optional<std::string_view>> values);

    std::vector<std::string> header_;
    StringTable strings_;
    SheetCells cells_;
    std::uint64_t rows_ = 0;
    std::uint32_t rowsInSheet_ = 0;
    std::uint64_t cutCells_ = 0;
    // Per row, reused: the texts to look up, their columns and their indexes.
    std::vector<std::string_view> texts_;
    std::vector<std::uint16_t> columns_;
    std::vector<std::uint32_t> indexes_;
    std::vector<std::string> cutTexts_;
};

}  // namespace xls

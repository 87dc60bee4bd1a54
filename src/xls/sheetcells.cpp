#include "sheetcells.h"

#include <algorithm>
#include <stdexcept>

#include "biffwriter.h"
#include "littleendian.h"

namespace xls {

namespace {
constexpr std::size_t kRowsPerBlock = 32;
constexpr std::size_t kRowRecord = RecordBuffer::kHeader + 16;
}  // namespace

void SheetCells::startSheet() {
    if (open_)
        finishSheet();
    sheets_.push_back({spill_.size(), spill_.size(), {}, {}});
    open_ = true;
    row_ = 0;
}

void SheetCells::beginRow() {
    // Row 65,536 would wrap to 0 and overwrite the header: the workbook starts a new
    // sheet before that.
    if (!open_ || row_ >= kMaxRows)
        throw std::logic_error("no room for another row on this sheet");
    blockRows_.push_back({std::uint16_t(row_), 0, 0, std::uint32_t(blockCells_.size())});
}

void SheetCells::cell(std::uint16_t column, std::uint32_t sharedString) {
    RowSpan& span = blockRows_.back();
    if (span.end == 0)
        span.first = column;
    span.end = std::uint16_t(column + 1);
    char record[RecordBuffer::kHeader + 10];
    putU16(record, record::kLabelSst);
    putU16(record + 2, 10);
    putU16(record + 4, span.row);
    putU16(record + 6, column);
    putU16(record + 8, kCellXf);
    putU32(record + 10, sharedString);
    blockCells_.append(record, sizeof record);
}

void SheetCells::endRow() {
    Sheet& sheet = sheets_.back();
    sheet.size.rows = ++row_;
    sheet.size.columns = std::max(sheet.size.columns, blockRows_.back().end);
    if (blockRows_.size() == kRowsPerBlock)
        writeBlock();
}

void SheetCells::writeBlock() {
    std::vector<std::uint16_t> cellOffsets;
    std::size_t previousCells = 0;
    for (const RowSpan& span : blockRows_) {
        // A row without cells has no ROW record.
        if (span.end == 0)
            continue;
        block_.begin(record::kRow);
        block_.u16(span.row);
        block_.u16(span.first);
        block_.u16(span.end);
        block_.u16(0x00FF);  // default height
        block_.u16(0);
        block_.u16(0);
        block_.u32(0x0100);
        block_.end();
        // The first row's cells are counted from the end of its ROW record, every
        // other row's from the previous row's first cell.
        cellOffsets.push_back(std::uint16_t(span.cellsAt - previousCells));
        previousCells = span.cellsAt;
        Sheet& sheet = sheets_.back();
        if (sheet.index.endRow == 0)
            sheet.index.firstRow = span.row;
        sheet.index.endRow = span.row + 1u;
    }
    // A block of empty rows has no records at all.
    if (!cellOffsets.empty()) {
        cellOffsets.front() += std::uint16_t(block_.size() - kRowRecord);
        block_.bytes(blockCells_);
        Sheet& sheet = sheets_.back();
        sheet.index.dbCells.push_back(std::uint32_t(spill_.size() - sheet.begin + block_.size()));
        const std::size_t toFirstRow = block_.size();
        block_.begin(record::kDbCell);
        block_.u32(std::uint32_t(toFirstRow));
        for (const std::uint16_t offset : cellOffsets)
            block_.u16(offset);
        block_.end();
        spill_.append(block_.data());
        block_.clear();
    }
    blockCells_.clear();
    blockRows_.clear();
}

void SheetCells::finishSheet() {
    if (!open_)
        return;
    writeBlock();
    sheets_.back().end = spill_.size();
    open_ = false;
}

void SheetCells::copy(std::size_t sheet, BiffWriter& writer) {
    const Sheet& s = sheets_.at(sheet);
    spill_.read(s.begin, s.end, [&](std::string_view records) { writer.raw(records); });
}

}  // namespace xls

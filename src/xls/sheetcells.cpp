#include "sheetcells.h"

#include <algorithm>
#include <stdexcept>

#include "biffwriter.h"
#include "littleendian.h"

namespace xls {

namespace {
constexpr std::size_t kRowsPerBlock = 32;
}

void SheetCells::startSheet() {
    if (open_)
        finishSheet();
    sheets_.push_back({spill_.size(), spill_.size(), {}});
    open_ = true;
    row_ = 0;
}

void SheetCells::beginRow() {
    // Row 65,536 would wrap to 0 and overwrite the header: the workbook starts a new
    // sheet before that.
    if (!open_ || row_ >= kMaxRows)
        throw std::logic_error("no room for another row on this sheet");
    blockRows_.push_back({std::uint16_t(row_), 0, 0});
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
    }
    block_.bytes(blockCells_);
    spill_.append(block_.data());
    block_.clear();
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

#include "sheetcells.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "biffwriter.h"
#include "littleendian.h"

namespace xls {

namespace {
constexpr std::size_t kRowsPerBlock = 32;
constexpr std::size_t kRowRecord = RecordBuffer::kHeader + 16;
constexpr std::size_t kCellRecord = RecordBuffer::kHeader + 10;

// The short form is the program's own and never leaves the machine: native integers.
template <typename T>
void put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
T take(std::string_view in, std::size_t& at) {
    T value;
    std::memcpy(&value, in.data() + at, sizeof value);
    at += sizeof value;
    return value;
}

}  // namespace

void SheetCells::startSheet() {
    if (open_)
        finishSheet();
    sheets_.push_back({written_, written_, spill_.size(), spill_.size(), {}, {}});
    open_ = true;
    row_ = 0;
}

void SheetCells::beginRow() {
    // Row 65,536 would wrap to 0 and overwrite the header: the workbook starts a new
    // sheet before that.
    if (!open_ || row_ >= kMaxRows)
        throw std::logic_error("no room for another row on this sheet");
    blockRows_.push_back({std::uint16_t(row_), 0, 0, std::uint32_t(strings_.size())});
}

void SheetCells::cell(std::uint16_t column, std::uint32_t sharedString) {
    RowSpan& span = blockRows_.back();
    if (span.end == 0)
        span.first = column;
    span.end = std::uint16_t(column + 1);
    columns_.push_back(column);
    strings_.push_back(sharedString);
}

void SheetCells::endRow() {
    Sheet& sheet = sheets_.back();
    sheet.size.rows = ++row_;
    sheet.size.columns = std::max(sheet.size.columns, blockRows_.back().end);
    if (blockRows_.size() == kRowsPerBlock)
        writeBlock();
}

void SheetCells::writeBlock() {
    // In short form: the rows with cells, each its number, its span and its cells'
    // strings, with their columns only where some are missing.
    blockSpill_.assign(2 * sizeof(std::uint32_t), '\0');  // its length and its rows
    std::uint32_t rows = 0;
    Sheet& sheet = sheets_.back();
    for (std::size_t i = 0; i < blockRows_.size(); ++i) {
        const RowSpan& span = blockRows_[i];
        const std::uint32_t endAt =
            i + 1 < blockRows_.size() ? blockRows_[i + 1].cellsAt : std::uint32_t(strings_.size());
        const std::uint16_t count = std::uint16_t(endAt - span.cellsAt);
        // A row without cells has no ROW record.
        if (count == 0)
            continue;
        ++rows;
        put(blockSpill_, span.row);
        put(blockSpill_, span.first);
        put(blockSpill_, span.end);
        put(blockSpill_, count);
        const bool gaps = count != span.end - span.first;
        for (std::uint32_t k = span.cellsAt; k < endAt; ++k) {
            if (gaps)
                put(blockSpill_, columns_[k]);
            put(blockSpill_, strings_[k]);
        }
        if (sheet.index.endRow == 0)
            sheet.index.firstRow = span.row;
        sheet.index.endRow = span.row + 1u;
    }
    // A block of empty rows has no records at all.
    if (rows > 0) {
        const auto length = std::uint32_t(blockSpill_.size());
        std::memcpy(blockSpill_.data(), &length, sizeof length);
        std::memcpy(blockSpill_.data() + sizeof length, &rows, sizeof rows);
        const std::uint64_t toDbCell = rows * kRowRecord + strings_.size() * kCellRecord;
        sheet.index.dbCells.push_back(std::uint32_t(written_ + toDbCell - sheet.begin));
        written_ += toDbCell + RecordBuffer::kHeader + 4 + 2 * rows;
        spill_.append(blockSpill_);
    }
    blockRows_.clear();
    columns_.clear();
    strings_.clear();
}

void SheetCells::layOut(std::string_view block, RecordBuffer& records) {
    struct SpilledRow {
        std::uint16_t row, first, end, count;
        std::size_t cellsAt;  // where its cells lie in the block
    };
    std::size_t at = sizeof(std::uint32_t);
    std::vector<SpilledRow> rows(take<std::uint32_t>(block, at));
    for (SpilledRow& row : rows) {
        row.row = take<std::uint16_t>(block, at);
        row.first = take<std::uint16_t>(block, at);
        row.end = take<std::uint16_t>(block, at);
        row.count = take<std::uint16_t>(block, at);
        row.cellsAt = at;
        const bool gaps = row.count != row.end - row.first;
        at += row.count * (sizeof(std::uint32_t) + (gaps ? sizeof(std::uint16_t) : 0));
    }
    // The ROW records first, then every row's cells, then the DBCELL that finds them.
    const std::size_t blockStart = records.size();
    for (const SpilledRow& row : rows) {
        records.begin(record::kRow);
        records.u16(row.row);
        records.u16(row.first);
        records.u16(row.end);
        records.u16(0x00FF);  // default height
        records.u16(0);
        records.u16(0);
        records.u32(0x0100);
        records.end();
    }
    std::vector<std::uint16_t> cellOffsets;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SpilledRow& row = rows[i];
        // The first row's cells are counted from the end of its ROW record, every
        // other row's from the previous row's first cell.
        cellOffsets.push_back(std::uint16_t(i == 0 ? (rows.size() - 1) * kRowRecord
                                                   : rows[i - 1].count * kCellRecord));
        const bool gaps = row.count != row.end - row.first;
        char cell[kCellRecord];
        putU16(cell, record::kLabelSst);
        putU16(cell + 2, 10);
        putU16(cell + 4, row.row);
        putU16(cell + 8, kCellXf);
        at = row.cellsAt;
        for (std::uint16_t k = 0; k < row.count; ++k) {
            putU16(cell + 6, gaps ? take<std::uint16_t>(block, at) : std::uint16_t(row.first + k));
            putU32(cell + 10, take<std::uint32_t>(block, at));
            records.bytes({cell, sizeof cell});
        }
    }
    const auto toFirstRow = std::uint32_t(records.size() - blockStart);
    records.begin(record::kDbCell);
    records.u32(toFirstRow);
    for (const std::uint16_t offset : cellOffsets)
        records.u16(offset);
    records.end();
}

void SheetCells::finishSheet() {
    if (!open_)
        return;
    writeBlock();
    sheets_.back().end = written_;
    sheets_.back().spillEnd = spill_.size();
    open_ = false;
}

void SheetCells::copy(std::size_t sheet, BiffWriter& writer) {
    const Sheet& s = sheets_.at(sheet);
    // The spill comes in large pieces that end anywhere: whole blocks are laid out,
    // the rest waits for the next piece.
    std::string pending;
    RecordBuffer records;
    spill_.read(s.spillBegin, s.spillEnd, [&](std::string_view piece) {
        pending.append(piece);
        std::size_t at = 0;
        while (pending.size() - at >= sizeof(std::uint32_t)) {
            std::uint32_t length;
            std::memcpy(&length, pending.data() + at, sizeof length);
            if (pending.size() - at < length)
                break;
            layOut(std::string_view(pending).substr(at, length), records);
            at += length;
        }
        pending.erase(0, at);
        writer.raw(records.data());
        records.clear();
    });
}

}  // namespace xls

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "biffrecords.h"
#include "recordbuffer.h"
#include "spillfile.h"

namespace xls {

class BiffWriter;

// The cell records of every sheet, in the order the rows come. Rows gather in blocks
// of 32, each written to the workbook as its ROW records, its cells and the DBCELL
// record that indexes them. Finished blocks wait in a spill file in a short form (a
// cell is its shared string's number), so only one block is ever held in memory and
// the spill is a third of the records it stands for; copy() lays the records out.
class SheetCells {
public:
    // A BIFF8 sheet has 65,536 rows, numbered in 16 bits.
    static constexpr std::uint32_t kMaxRows = 65536;

    struct Sheet {
        // The sheet's cell records in the bytes copy() writes, counted from the first
        // sheet's first; and where their short form lies in the spill file.
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
        std::uint64_t spillBegin = 0;
        std::uint64_t spillEnd = 0;
        SheetSize size;
        CellIndex index;
    };

    void startSheet();
    void beginRow();
    // Cells of a row come in ascending columns.
    void cell(std::uint16_t column, std::uint32_t sharedString);
    void endRow();
    void finishSheet();

    const std::vector<Sheet>& sheets() const { return sheets_; }
    // Passes a finished sheet's records on to the workbook stream.
    void copy(std::size_t sheet, BiffWriter& writer);

private:
    struct RowSpan {
        std::uint16_t row;
        std::uint16_t first;
        std::uint16_t end;
        // Where the row's cells start in columns_ and strings_.
        std::uint32_t cellsAt;
    };
    void writeBlock();
    // The records of one block, laid out from its short form.
    static void layOut(std::string_view block, RecordBuffer& records);

    SpillFile spill_;
    std::uint64_t written_ = 0;  // the bytes of the records of every finished block
    std::string blockSpill_;
    std::vector<RowSpan> blockRows_;
    std::vector<std::uint16_t> columns_;
    std::vector<std::uint32_t> strings_;
    std::vector<Sheet> sheets_;
    bool open_ = false;
    std::uint32_t row_ = 0;
};

}  // namespace xls

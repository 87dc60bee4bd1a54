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
// of 32, each block written as its ROW records, its cells and the DBCELL record that
// indexes them; finished blocks go to a spill file, so only one block is ever held
// in memory.
class SheetCells {
public:
    // A BIFF8 sheet has 65,536 rows, numbered in 16 bits.
    static constexpr std::uint32_t kMaxRows = 65536;

    struct Sheet {
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
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
        // Where the row's cells start in blockCells_.
        std::uint32_t cellsAt;
    };
    void writeBlock();

    SpillFile spill_;
    RecordBuffer block_;
    std::string blockCells_;
    std::vector<RowSpan> blockRows_;
    std::vector<Sheet> sheets_;
    bool open_ = false;
    std::uint32_t row_ = 0;
};

}  // namespace xls

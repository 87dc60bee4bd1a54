#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace xls {

class RecordBuffer;

// The record ids, in the order they appear in a workbook.
namespace record {
constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kInterfaceHdr = 0x00E1;
constexpr std::uint16_t kMms = 0x00C1;
constexpr std::uint16_t kInterfaceEnd = 0x00E2;
constexpr std::uint16_t kWriteAccess = 0x005C;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kDsf = 0x0161;
constexpr std::uint16_t kTabId = 0x013D;
constexpr std::uint16_t kWindowProtect = 0x0019;
constexpr std::uint16_t kProtect = 0x0012;
constexpr std::uint16_t kPassword = 0x0013;
constexpr std::uint16_t kProt4Rev = 0x01AF;
constexpr std::uint16_t kProt4RevPass = 0x01BC;
constexpr std::uint16_t kWindow1 = 0x003D;
constexpr std::uint16_t kBackup = 0x0040;
constexpr std::uint16_t kHideObj = 0x008D;
constexpr std::uint16_t kDate1904 = 0x0022;
constexpr std::uint16_t kPrecision = 0x000E;
constexpr std::uint16_t kRefreshAll = 0x01B7;
constexpr std::uint16_t kBookBool = 0x00DA;
constexpr std::uint16_t kFont = 0x0031;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kStyle = 0x0293;
constexpr std::uint16_t kUsesElfs = 0x0160;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kCountry = 0x008C;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kExtSst = 0x00FF;

constexpr std::uint16_t kIndex = 0x020B;
constexpr std::uint16_t kCalcMode = 0x000D;
constexpr std::uint16_t kCalcCount = 0x000C;
constexpr std::uint16_t kRefMode = 0x000F;
constexpr std::uint16_t kIteration = 0x0011;
constexpr std::uint16_t kDelta = 0x0010;
constexpr std::uint16_t kSaveRecalc = 0x005F;
constexpr std::uint16_t kPrintHeaders = 0x002A;
constexpr std::uint16_t kPrintGridlines = 0x002B;
constexpr std::uint16_t kGridSet = 0x0082;
constexpr std::uint16_t kGuts = 0x0080;
constexpr std::uint16_t kDefaultRowHeight = 0x0225;
constexpr std::uint16_t kWsBool = 0x0081;
constexpr std::uint16_t kPageHeader = 0x0014;
constexpr std::uint16_t kPageFooter = 0x0015;
constexpr std::uint16_t kHCenter = 0x0083;
constexpr std::uint16_t kVCenter = 0x0084;
constexpr std::uint16_t kSetup = 0x00A1;
constexpr std::uint16_t kDefColWidth = 0x0055;
constexpr std::uint16_t kDimensions = 0x0200;
constexpr std::uint16_t kRow = 0x0208;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kDbCell = 0x00D7;
constexpr std::uint16_t kWindow2 = 0x023E;
constexpr std::uint16_t kEof = 0x000A;
}  // namespace record

// The XF that every cell uses: the default cell format.
constexpr std::uint16_t kCellXf = 15;

// The workbook globals up to the sheet list, in the order Excel writes them: BOF,
// the interface, protection and calculation settings, window, fonts, formats and
// the Normal style.
void globalsHead(RecordBuffer& records, std::size_t sheets);
// A BOUNDSHEET record. Its first field, the sheet's stream offset, is left 0 to be
// filled in once the sheet's place is known.
void boundSheet(RecordBuffer& records, const QString& name);
// What comes between the sheet list and the shared strings.
void globalsAfterSheets(RecordBuffer& records);
void endOfStream(RecordBuffer& records);

struct SheetSize {
    std::uint32_t rows = 0;
    std::uint16_t columns = 0;
};

// Where a sheet's cells are, for its INDEX record: the rows that hold cells, and
// each block's DBCELL record as an offset from the first cell record.
struct CellIndex {
    std::uint32_t firstRow = 0;
    std::uint32_t endRow = 0;  // one past the last; 0 when no row holds a cell
    std::vector<std::uint32_t> dbCells;
};

// A worksheet's records before its cells, for a sheet whose BOF lies at stream
// position `at`; and those after the cells. Only the first sheet is selected when
// the workbook opens.
void sheetHead(RecordBuffer& records, std::uint64_t at, SheetSize size, const CellIndex& cells);
void sheetTail(RecordBuffer& records, bool selected);

}  // namespace xls

#pragma once

#include <QString>
#include <cstdint>

namespace xls {

class RecordBuffer;

// The record ids, in the order they appear in a workbook.
namespace record {
constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kWindow1 = 0x003D;
constexpr std::uint16_t kFont = 0x0031;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kStyle = 0x0293;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kExtSst = 0x00FF;
constexpr std::uint16_t kWsBool = 0x0081;
constexpr std::uint16_t kDimensions = 0x0200;
constexpr std::uint16_t kRow = 0x0208;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kWindow2 = 0x023E;
constexpr std::uint16_t kEof = 0x000A;
}  // namespace record

// The XF that every cell uses: the default cell format.
constexpr std::uint16_t kCellXf = 15;

// The workbook globals up to the sheet list: BOF, code page, window, fonts, formats
// and the Normal style.
void globalsHead(RecordBuffer& records);
// A BOUNDSHEET record. Its first field, the sheet's stream offset, is left 0 to be
// filled in once the sheet's place is known.
void boundSheet(RecordBuffer& records, const QString& name);
void endOfStream(RecordBuffer& records);

struct SheetSize {
    std::uint32_t rows = 0;
    std::uint16_t columns = 0;
};
// A worksheet's records before its cells, and those after them; only the first
// sheet is selected when the workbook opens.
void sheetHead(RecordBuffer& records, SheetSize size);
void sheetTail(RecordBuffer& records, bool selected);

}  // namespace xls

#include "biffrecords.h"

#include "recordbuffer.h"

#include <string>
#include <string_view>

namespace xls {

namespace {

enum class Substream : std::uint16_t { Globals = 0x0005, Worksheet = 0x0010 };

void bof(RecordBuffer& r, Substream type) {
    r.begin(record::kBof);
    r.u16(0x0600);  // BIFF8
    r.u16(std::uint16_t(type));
    r.u16(0x0DBB);  // build
    r.u16(0x07CC);  // year
    r.u32(0x41);    // file history: last edited on Windows
    r.u32(6);       // lowest version that reads the file
    r.end();
}

// A one-byte-length string with one byte per character (names here are ASCII).
void shortString(RecordBuffer& r, const QString& text) {
    const QByteArray latin1 = text.toLatin1();
    r.u8(std::uint8_t(latin1.size()));
    r.u8(0);
    r.bytes({latin1.constData(), std::size_t(latin1.size())});
}

// A two-byte-length string with one byte per character.
void longString(RecordBuffer& r, std::string_view text) {
    r.u16(std::uint16_t(text.size()));
    r.u8(0);
    r.bytes(text);
}

void font(RecordBuffer& r) {
    r.begin(record::kFont);
    r.u16(200);     // 10 points
    r.u16(0);       // plain
    r.u16(0x7FFF);  // automatic colour
    r.u16(400);     // normal weight
    r.zeros(6);     // no super- or subscript, underline, family, character set
    shortString(r, QStringLiteral("Arial"));
    r.end();
}

void xf(RecordBuffer& r, bool style, std::uint8_t usedAttributes) {
    r.begin(record::kXf);
    r.u16(0);                        // font
    r.u16(0);                        // number format: General
    r.u16(style ? 0xFFF5 : 0x0001);  // locked; a style, or a cell of style 0
    r.u8(0x20);                      // aligned at the bottom
    r.u8(0);                         // no rotation
    r.u8(0);                         // no indent
    r.u8(usedAttributes);
    r.zeros(8);     // no borders
    r.u16(0x20C0);  // pattern colours: automatic
    r.end();
}

void u16Record(RecordBuffer& r, std::uint16_t id, std::uint16_t value) {
    r.begin(id);
    r.u16(value);
    r.end();
}

constexpr std::size_t kWriteAccessSize = 112;

// The currency formats that every workbook carries, with their built-in numbers.
struct NumberFormat {
    std::uint16_t index;
    const char* text;
};
constexpr NumberFormat kCurrencyFormats[] = {
    {5, R"f("$"#,##0_);\("$"#,##0\))f"},
    {6, R"f("$"#,##0_);[Red]\("$"#,##0\))f"},
    {7, R"f("$"#,##0.00_);\("$"#,##0.00\))f"},
    {8, R"f("$"#,##0.00_);[Red]\("$"#,##0.00\))f"},
    {42, R"f(_("$"* #,##0_);_("$"* \(#,##0\);_("$"* "-"_);_(@_))f"},
    {41, R"f(_(* #,##0_);_(* \(#,##0\);_(* "-"_);_(@_))f"},
    {44, R"f(_("$"* #,##0.00_);_("$"* \(#,##0.00\);_("$"* "-"??_);_(@_))f"},
    {43, R"f(_(* #,##0.00_);_(* \(#,##0.00\);_(* "-"??_);_(@_))f"},
};

}  // namespace

void globalsHead(RecordBuffer& r, std::size_t sheets) {
    bof(r, Substream::Globals);
    u16Record(r, record::kInterfaceHdr, 1200);
    u16Record(r, record::kMms, 0);
    r.record(record::kInterfaceEnd, {});

    // The name of whoever saved the file, padded with blanks to a fixed size.
    r.begin(record::kWriteAccess);
    constexpr std::string_view name = "PelmarEntry";
    longString(r, name);
    r.bytes(std::string(kWriteAccessSize - 3 - name.size(), ' '));
    r.end();

    u16Record(r, record::kCodePage, 1200);  // UTF-16
    u16Record(r, record::kDsf, 0);          // no second stream
    r.begin(record::kTabId);
    for (std::size_t i = 0; i < sheets; ++i)
        r.u16(std::uint16_t(i + 1));
    r.end();

    // Nothing is protected.
    for (const std::uint16_t id : {record::kWindowProtect, record::kProtect, record::kPassword,
                                   record::kProt4Rev, record::kProt4RevPass})
        u16Record(r, id, 0);

    r.begin(record::kWindow1);
    r.u16(0);
    r.u16(0);
    r.u16(15000);  // width and height in twips
    r.u16(9000);
    r.u16(0x0038);  // scroll bars and sheet tabs shown
    r.u16(0);       // active sheet
    r.u16(0);       // first tab shown
    r.u16(1);       // selected tabs
    r.u16(600);     // tab bar width ratio
    r.end();

    u16Record(r, record::kBackup, 0);
    u16Record(r, record::kHideObj, 0);    // objects shown
    u16Record(r, record::kDate1904, 0);   // dates count from 1900
    u16Record(r, record::kPrecision, 1);  // full precision, not as displayed
    u16Record(r, record::kRefreshAll, 0);
    u16Record(r, record::kBookBool, 0);

    // Font index 4 is never read, so five fonts give indexes 0 to 3 and 5.
    for (int i = 0; i < 5; ++i)
        font(r);
    for (const NumberFormat& format : kCurrencyFormats) {
        r.begin(record::kFormat);
        r.u16(format.index);
        longString(r, format.text);
        r.end();
    }
    for (int i = 0; i < 15; ++i)
        xf(r, true, i == 0 ? 0x00 : 0xF4);
    xf(r, false, 0x00);

    r.begin(record::kStyle);
    r.u16(0x8000);  // built-in, XF 0
    r.u8(0);        // Normal
    r.u8(0xFF);
    r.end();
    u16Record(r, record::kUsesElfs, 0);
}

void boundSheet(RecordBuffer& r, const QString& name) {
    r.begin(record::kBoundSheet);
    r.u32(0);
    r.u8(0);  // visible
    r.u8(0);  // worksheet
    shortString(r, name);
    r.end();
}

void globalsAfterSheets(RecordBuffer& r) {
    r.begin(record::kCountry);
    r.u16(61);  // Australia, for the program and for the system
    r.u16(61);
    r.end();
}

void endOfStream(RecordBuffer& r) {
    r.record(record::kEof, {});
}

void sheetHead(RecordBuffer& r, std::uint64_t at, SheetSize size, const CellIndex& cells) {
    const std::size_t base = r.size();
    bof(r, Substream::Worksheet);

    r.begin(record::kIndex);
    r.u32(0);
    r.u32(cells.endRow == 0 ? 0 : cells.firstRow);
    r.u32(cells.endRow);
    const std::size_t defColWidthField = r.size();
    r.u32(0);
    const std::size_t dbCellFields = r.size();
    r.zeros(4 * cells.dbCells.size());
    r.end();

    u16Record(r, record::kCalcMode, 1);     // automatic
    u16Record(r, record::kCalcCount, 100);  // iterations at most
    u16Record(r, record::kRefMode, 1);      // A1 references
    u16Record(r, record::kIteration, 0);    // off
    r.begin(record::kDelta);
    r.f64(0.001);
    r.end();
    u16Record(r, record::kSaveRecalc, 1);
    u16Record(r, record::kPrintHeaders, 0);
    u16Record(r, record::kPrintGridlines, 0);
    u16Record(r, record::kGridSet, 1);
    r.begin(record::kGuts);  // no outline
    r.zeros(8);
    r.end();
    r.begin(record::kDefaultRowHeight);
    r.u16(0);
    r.u16(0x00FF);
    r.end();
    u16Record(r, record::kWsBool, 0x04C1);

    // Page set-up: no header or footer, the printer's own settings.
    r.record(record::kPageHeader, {});
    r.record(record::kPageFooter, {});
    u16Record(r, record::kHCenter, 0);
    u16Record(r, record::kVCenter, 0);
    r.begin(record::kSetup);
    r.u16(0);       // paper size: the printer's
    r.u16(100);     // scale
    r.u16(1);       // first page number
    r.u16(1);       // fit to one page wide
    r.u16(1);       // and one page high
    r.u16(0x0006);  // portrait; no printer settings stored
    r.u16(0);
    r.u16(0);
    r.f64(0.5);  // header and footer margins, inches
    r.f64(0.5);
    r.u16(1);  // copies
    r.end();

    const std::size_t defColWidth = r.size();
    u16Record(r, record::kDefColWidth, 8);

    r.begin(record::kDimensions);
    r.u32(0);
    r.u32(size.rows);
    r.u16(0);
    r.u16(size.columns);
    r.u16(0);
    r.end();

    // The cells follow at once: their DBCELL records lie at known distances.
    const std::uint64_t cellsAt = at + (r.size() - base);
    r.patchU32(defColWidthField, std::uint32_t(at + (defColWidth - base)));
    for (std::size_t i = 0; i < cells.dbCells.size(); ++i)
        r.patchU32(dbCellFields + 4 * i, std::uint32_t(cellsAt + cells.dbCells[i]));
}

void sheetTail(RecordBuffer& r, bool selected) {
    r.begin(record::kWindow2);
    r.u16(selected ? 0x06B6 : 0x00B6);
    r.u16(0);     // top row
    r.u16(0);     // left column
    r.u32(0x40);  // grid line colour: automatic
    r.u16(0);     // zoom: default
    r.u16(0);
    r.u32(0);
    r.end();
    endOfStream(r);
}

}  // namespace xls

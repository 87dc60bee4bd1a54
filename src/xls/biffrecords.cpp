#include "biffrecords.h"

#include "recordbuffer.h"

namespace xls {

namespace {

enum class Substream : std::uint16_t { Globals = 0x0005, Worksheet = 0x0010 };

void bof(RecordBuffer& r, Substream type) {
    r.begin(record::kBof);
    r.u16(0x0600);  // BIFF8
    r.u16(std::uint16_t(type));
    r.u16(0x0DBB);  // build
    r.u16(0x07CC);  // year
    r.u32(0);       // file history
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

}  // namespace

void globalsHead(RecordBuffer& r) {
    bof(r, Substream::Globals);

    r.begin(record::kCodePage);
    r.u16(1200);  // UTF-16
    r.end();

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

    // Font index 4 is never read, so five fonts give indexes 0 to 3 and 5.
    for (int i = 0; i < 5; ++i)
        font(r);
    for (int i = 0; i < 15; ++i)
        xf(r, true, i == 0 ? 0x00 : 0xF4);
    xf(r, false, 0x00);

    r.begin(record::kStyle);
    r.u16(0x8000);  // built-in, XF 0
    r.u8(0);        // Normal
    r.u8(0xFF);
    r.end();
}

void boundSheet(RecordBuffer& r, const QString& name) {
    r.begin(record::kBoundSheet);
    r.u32(0);
    r.u8(0);  // visible
    r.u8(0);  // worksheet
    shortString(r, name);
    r.end();
}

void endOfStream(RecordBuffer& r) {
    r.record(record::kEof, {});
}

void sheetHead(RecordBuffer& r, SheetSize size) {
    bof(r, Substream::Worksheet);

    r.begin(record::kWsBool);
    r.u16(0x04C1);
    r.end();

    r.begin(record::kDimensions);
    r.u32(0);
    r.u32(size.rows);
    r.u16(0);
    r.u16(size.columns);
    r.u16(0);
    r.end();
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

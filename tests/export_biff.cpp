// The workbook writer on its own: the record layout that the readers depend on but
// do not all check (strings split across CONTINUE records, the EXTSST index, the
// row limit of a sheet), read back from memory, and the same workbooks read by xlrd
// and ssconvert (tests/export_check.py).
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <string>
#include <vector>

#include "xls/biffrecords.h"
#include "xls/celltext.h"
#include "xls/compoundfile.h"
#include "xls/sheetcells.h"
#include "xls/stringtable.h"
#include "xls/workbook.h"

QString workbookProblems(const QString& workbook, const QStringList& expected, bool ssconvert);

namespace {

using Row = std::vector<std::optional<std::string_view>>;
using Rows = std::vector<std::vector<std::string>>;

class MemorySink : public xls::ByteSink {
public:
    void write(const char* data, std::size_t size) override { bytes.append(data, size); }
    void overwrite(std::uint64_t offset, const char* data, std::size_t size) override {
        bytes.replace(offset, size, data, size);
    }
    std::string bytes;
};

unsigned u16(const std::string& bytes, std::size_t at) {
    return std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8;
}
unsigned u32(const std::string& bytes, std::size_t at) {
    return u16(bytes, at) | u16(bytes, at + 2) << 16;
}

struct Record {
    std::size_t offset;  // of its header in the stream
    unsigned id;
    std::string data;
};

std::vector<Record> recordsOf(const std::string& stream) {
    std::vector<Record> records;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        const unsigned size = u16(stream, at + 2);
        if (size > 8224 || at + 4 + size > stream.size())
            qFatal("record at %zu: %u bytes", at, size);
        records.push_back({at, u16(stream, at), stream.substr(at + 4, size)});
        at += 4 + size;
    }
    return records;
}

// Writes a workbook with one header cell "A" and the given one-cell rows.
std::string streamOf(xls::Workbook& book) {
    MemorySink sink;
    book.write(sink);
    return sink.bytes;
}

void addRows(xls::Workbook& book, const std::vector<std::string>& values) {
    for (const std::string& value : values)
        book.addRow(Row{std::string_view(value)});
}

// Writes the workbook to a file and has the independent readers check it against
// the header "A" and the values, one per row.
QString readersProblems(xls::Workbook& book, const std::vector<std::string>& values) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xls"));
    xls::CompoundFile file(path);
    book.write(file);
    file.commit();
    QJsonArray rows{QJsonArray{QStringLiteral("A")}};
    for (const std::string& value : values)
        rows.append(QJsonArray{QString::fromStdString(value)});
    QJsonObject sheet{{QStringLiteral("name"), QStringLiteral("WorkSheet1")},
                      {QStringLiteral("rows"), rows}};
    const QString expect = dir.filePath(QStringLiteral("expect.json"));
    QFile json(expect);
    if (!json.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write ") + expect;
    json.write(QJsonDocument(QJsonArray{sheet}).toJson());
    json.close();
    return workbookProblems(path, {QStringLiteral("--expect"), expect}, true);
}

const QStringList kHeader{QStringLiteral("A")};
using namespace xls::record;

}  // namespace

class ExportBiffTest : public QObject {
    Q_OBJECT

private slots:
    void stringAcrossRecords_data();
    void stringAcrossRecords();
    void extSstFindsItsStrings();
    void stringTableKeepsEveryText();
    void fullSheetsContinue();
    void sheetRefusesRow65537();
    void cutToCell_data();
    void cutToCell();
};

void ExportBiffTest::stringAcrossRecords_data() {
    QTest::addColumn<bool>("utf16");
    QTest::addColumn<int>("bytesLeft");
    // A string's header (3 bytes) and first character need 4 bytes, or 5 in UTF-16.
    for (const bool utf16 : {false, true}) {
        for (int left = 0; left <= 7; ++left) {
            QTest::addRow("%s, %d bytes left", utf16 ? "UTF-16" : "8-bit", left) << utf16 << left;
        }
    }
}

void ExportBiffTest::stringAcrossRecords() {
    QFETCH(bool, utf16);
    QFETCH(int, bytesLeft);
    // The SST data: 8 bytes of counts, "A" (4 bytes), then the filler (3 + length).
    const std::string filler(8224 - 8 - 4 - 3 - bytesLeft, 'f');
    const std::string probe =
        utf16 ? "€ and thirty characters long." : "abcdefghij0123456789ABCDEFGHIJ";
    const unsigned units = utf16 ? 29 : 30;
    xls::Workbook book(kHeader);
    addRows(book, {filler, probe});
    const std::vector<Record> records = recordsOf(streamOf(book));

    auto sst =
        std::find_if(records.begin(), records.end(), [](const Record& r) { return r.id == kSst; });
    QVERIFY(sst != records.end());
    const Record& next = *(sst + 1);
    QCOMPARE(next.id, kContinue);
    const std::size_t unit = utf16 ? 2 : 1;
    const unsigned flags = utf16 ? 1 : 0;
    if (std::size_t(bytesLeft) < 3 + unit) {
        // The whole string moves on: the CONTINUE starts with its header, no flags byte.
        QCOMPARE(sst->data.size(), std::size_t(8224 - bytesLeft));
        QCOMPARE(u16(next.data, 0), units);
        QCOMPARE(unsigned(std::uint8_t(next.data[2])), flags);
        QCOMPARE(next.data.size(), 3 + units * unit);
    } else {
        // Header and whole characters stay; the rest follows the flags byte again.
        const std::size_t kept = (bytesLeft - 3) / unit;
        QCOMPARE(sst->data.size(), 8224 - (bytesLeft - 3) % unit);
        QCOMPARE(unsigned(std::uint8_t(next.data[0])), flags);
        QCOMPARE(next.data.size(), 1 + (units - kept) * unit);
    }
    const QString problems = readersProblems(book, {filler, probe});
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void ExportBiffTest::extSstFindsItsStrings() {
    // Strings of many lengths, some far longer than a record, in both forms.
    std::vector<std::string> values;
    for (int i = 0; i < 3000; ++i) {
        std::string value = std::to_string(i) + std::string(std::size_t(i * 7919 % 997), 'x');
        if (i % 3 == 0)
            value += "€";
        if (i % 500 == 7)
            value += std::string(20000, 'y');
        values.push_back(value);
    }
    xls::Workbook book(kHeader);
    addRows(book, values);
    const std::string stream = streamOf(book);
    const std::vector<Record> records = recordsOf(stream);

    auto ext = std::find_if(records.begin(), records.end(),
                            [](const Record& r) { return r.id == kExtSst; });
    QVERIFY(ext != records.end());
    const unsigned unique = 3001;  // "A" and the values
    const unsigned perBucket = u16(ext->data, 0);
    QCOMPARE(perBucket, std::max(unique / 128 + 1, 8u));
    QCOMPARE(ext->data.size(), 2 + 8 * ((unique + perBucket - 1) / perBucket));
    for (unsigned bucket = 0; bucket * perBucket < unique; ++bucket) {
        const std::size_t at = u32(ext->data, 2 + bucket * 8);
        const std::size_t inRecord = u16(ext->data, 6 + bucket * 8);
        // The offset within the record counts from the record's header, which must be
        // an SST or CONTINUE record.
        auto holder = std::find_if(records.begin(), records.end(),
                                   [&](const Record& r) { return r.offset == at - inRecord; });
        QVERIFY2(holder != records.end(), qPrintable(QString::number(bucket)));
        QVERIFY(holder->id == kSst || holder->id == kContinue);
        const unsigned index = bucket * perBucket;
        const std::string& text = index == 0 ? std::string("A") : values[index - 1];
        const bool utf16 = text.find("€") != std::string::npos;
        const unsigned length = QString::fromStdString(text).size();
        QCOMPARE(u16(stream, at), length);
        QCOMPARE(unsigned(std::uint8_t(stream[at + 2])), utf16 ? 1u : 0u);
    }
    const QString problems = readersProblems(book, values);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void ExportBiffTest::stringTableKeepsEveryText() {
    // Past one block of text bytes and one page of places, with an empty text first.
    std::vector<std::string> texts{""};
    for (int i = 0; i < 70000; ++i)
        texts.push_back(std::to_string(i) + std::string(std::size_t(i % 37), 'q'));
    texts.push_back(std::string(100000, 'L'));
    xls::StringTable table;
    for (std::size_t i = 0; i < texts.size(); ++i)
        QCOMPARE(table.add(texts[i]), std::uint32_t(i));
    std::vector<std::string_view> again(texts.rbegin(), texts.rend());
    std::vector<std::uint32_t> indexes(again.size());
    table.add(again, indexes.data());
    QCOMPARE(table.size(), std::uint32_t(texts.size()));
    QCOMPARE(table.references(), std::uint64_t(2 * texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        QCOMPARE(indexes[texts.size() - 1 - i], std::uint32_t(i));
        QVERIFY(table.at(std::uint32_t(i)) == texts[i]);
    }
}

void ExportBiffTest::fullSheetsContinue() {
    xls::Workbook book({QStringLiteral("A"), QStringLiteral("B")});
    const int rows = 2 * 65535 + 1;
    for (int i = 0; i < rows; ++i) {
        const std::string value = std::to_string(i % 1000);
        book.addRow(Row{std::string_view(value)});
    }
    QCOMPARE(book.sheetCount(), std::size_t(3));
    const std::string stream = streamOf(book);
    const std::vector<Record> records = recordsOf(stream);

    std::vector<std::size_t> sheetStarts;
    QStringList names;
    for (const Record& r : records) {
        if (r.id == kBoundSheet) {
            sheetStarts.push_back(u32(r.data, 0));
            names.append(QString::fromLatin1(r.data.substr(8, std::uint8_t(r.data[6]))));
        }
    }
    QCOMPARE(names, (QStringList{"WorkSheet1", "WorkSheet2", "WorkSheet3"}));
    const std::vector<unsigned> expectedRows{65536, 65536, 2};
    for (std::size_t sheet = 0; sheet < sheetStarts.size(); ++sheet) {
        auto at = std::find_if(records.begin(), records.end(),
                               [&](const Record& r) { return r.offset == sheetStarts[sheet]; });
        QVERIFY(at != records.end());
        QCOMPARE(at->id, kBof);
        QCOMPARE(u16(at->data, 2), 0x0010u);  // a worksheet
        unsigned lastRow = 0, headerCells = 0, dimensionRows = 0;
        for (++at; at != records.end() && at->id != kBof; ++at) {
            if (at->id == kDimensions)
                dimensionRows = u32(at->data, 4);
            if (at->id != kLabelSst)
                continue;
            const unsigned row = u16(at->data, 0);
            lastRow = std::max(lastRow, row);
            // Row 0 holds the header, "A" and "B", and nothing else.
            if (row == 0) {
                QCOMPARE(u32(at->data, 6), u16(at->data, 2));
                ++headerCells;
            }
        }
        QCOMPARE(dimensionRows, expectedRows[sheet]);
        QCOMPARE(lastRow, expectedRows[sheet] - 1);
        QCOMPARE(headerCells, 2u);
    }
}

void ExportBiffTest::sheetRefusesRow65537() {
    xls::SheetCells cells;
    cells.startSheet();
    for (std::uint32_t row = 0; row < xls::SheetCells::kMaxRows; ++row) {
        cells.beginRow();
        cells.endRow();
    }
    QVERIFY_THROWS_EXCEPTION(std::logic_error, cells.beginRow());
}

void ExportBiffTest::cutToCell_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kept");  // -1: not cut
    const QString pair = QStringLiteral("🏠");
    QTest::newRow("exactly the limit") << QString(32767, 'a') << -1;
    QTest::newRow("one over") << QString(32768, 'a') << 32767;
    QTest::newRow("many bytes, few characters") << QString(30000, QChar(0x4E2D)) << -1;
    QTest::newRow("pair ends at the limit") << QString(32765, 'a') + pair << -1;
    QTest::newRow("pair across the limit") << QString(32766, 'a') + pair + "b" << 32766;
    QTest::newRow("pair after the limit") << QString(32767, 'a') + pair << 32767;
}

void ExportBiffTest::cutToCell() {
    QFETCH(QString, text);
    QFETCH(int, kept);
    const std::optional<std::string> cut = xls::cutToCell(text.toStdString());
    if (kept < 0) {
        QVERIFY(!cut);
    } else {
        QVERIFY(cut);
        QCOMPARE(QString::fromStdString(*cut), text.left(kept));
    }
}

QTEST_GUILESS_MAIN(ExportBiffTest)
#include "export_biff.moc"

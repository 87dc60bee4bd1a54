// The workbook writer on its own: the record layout that the readers depend on but
// do not all check (strings split across CONTINUE records, the EXTSST index, the
// row limit of a sheet), read back from memory, and the same workbooks read by xlrd
// and ssconvert (tests/export_check.py).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <string>
#include <vector>

#include "base/utf8text.h"
#include "xls/biffrecords.h"
#include "xls/celltext.h"
#include "xls/compoundfile.h"
#include "xls/sharedstrings.h"
#include "xls/sheetcells.h"
#include "xls/stringtable.h"
#include "xls/workbook.h"
#include "xls/xlserror.h"

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

// Has the independent readers check the workbook at `path` against the header "A"
// and the values, one per row.
QString contentProblems(const QString& path, const std::vector<std::string>& values) {
    QJsonArray rows{QJsonArray{QStringLiteral("A")}};
    for (const std::string& value : values)
        rows.append(QJsonArray{QString::fromStdString(value)});
    QJsonObject sheet{{QStringLiteral("name"), QStringLiteral("WorkSheet1")},
                      {QStringLiteral("rows"), rows}};
    QTemporaryDir dir;
    const QString expect = dir.filePath(QStringLiteral("expect.json"));
    QFile json(expect);
    if (!json.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write ") + expect;
    json.write(QJsonDocument(QJsonArray{sheet}).toJson());
    json.close();
    return workbookProblems(path, {QStringLiteral("--expect"), expect}, true);
}

// The same for a workbook written to a file here.
QString readersProblems(xls::Workbook& book, const std::vector<std::string>& values) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xls"));
    xls::CompoundFile file(path);
    book.write(file);
    file.commit();
    return contentProblems(path, values);
}

const QStringList kHeader{QStringLiteral("A")};
using namespace xls::record;

// The shared strings read back as calamine and gnumeric read them: each record's
// piece of a string decoded on its own. Fails on a piece that splits a character.
QStringList sharedStringsOf(const std::vector<Record>& records) {
    QStringList strings;
    auto at =
        std::find_if(records.begin(), records.end(), [](const Record& r) { return r.id == kSst; });
    std::size_t pos = 8;
    const unsigned unique = u32(at->data, 4);
    while (unsigned(strings.size()) < unique) {
        if (pos == at->data.size()) {
            ++at;
            pos = 0;
        }
        const unsigned length = u16(at->data, pos);
        bool utf16 = at->data[pos + 2] & 1;
        pos += 3;
        QString text;
        for (;;) {
            const std::size_t unit = utf16 ? 2 : 1;
            const std::size_t units =
                std::min<std::size_t>(length - text.size(), (at->data.size() - pos) / unit);
            const std::string piece = at->data.substr(pos, units * unit);
            const QString decoded =
                utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(piece.data()),
                                           qsizetype(units))
                      : QString::fromLatin1(piece);
            if (!decoded.isEmpty() &&
                (decoded.front().isLowSurrogate() || decoded.back().isHighSurrogate()))
                qWarning("a piece of string %lld splits a surrogate pair", strings.size());
            text += decoded;
            pos += units * unit;
            if (unsigned(text.size()) == length)
                break;
            ++at;
            utf16 = at->data[0] & 1;
            pos = 1;
        }
        strings.append(text);
    }
    return strings;
}

// The records of the sheet whose BOF lies at `offset`, up to its EOF.
std::vector<Record> sheetAt(const std::vector<Record>& records, std::size_t offset) {
    auto begin = std::find_if(records.begin(), records.end(),
                              [&](const Record& r) { return r.offset == offset; });
    auto end = std::find_if(begin, records.end(), [](const Record& r) { return r.id == kEof; });
    return {begin, end + 1};
}

std::vector<std::size_t> sheetOffsets(const std::vector<Record>& records) {
    std::vector<std::size_t> offsets;
    for (const Record& r : records) {
        if (r.id == kBoundSheet)
            offsets.push_back(u32(r.data, 0));
    }
    return offsets;
}

// Checks a sheet's INDEX against its cells as Excel finds a cell: INDEX gives each
// block's DBCELL, which leads back to the block's first ROW and to each row's first
// cell. Returns what is wrong, or nothing.
QString cellIndexProblems(const std::vector<Record>& sheet) {
    auto find = [&](std::size_t offset) {
        return std::find_if(sheet.begin(), sheet.end(),
                            [&](const Record& r) { return r.offset == offset; });
    };
    if (sheet.size() < 2 || sheet[1].id != kIndex)
        return QStringLiteral("no INDEX after the BOF");
    const std::string& index = sheet[1].data;
    auto defColWidth = find(u32(index, 12));
    if (defColWidth == sheet.end() || defColWidth->id != kDefColWidth)
        return QStringLiteral("INDEX misses DEFCOLWIDTH");
    unsigned firstRow = 0x10000, endRow = 0;
    std::vector<std::size_t> dbCells;
    for (const Record& r : sheet) {
        if (r.id == kLabelSst) {
            firstRow = std::min(firstRow, u16(r.data, 0));
            endRow = std::max(endRow, u16(r.data, 0) + 1);
        }
        if (r.id == kDbCell)
            dbCells.push_back(r.offset);
    }
    if (endRow == 0)
        firstRow = 0;
    if (u32(index, 4) != firstRow || u32(index, 8) != endRow)
        return QStringLiteral("INDEX rows %1-%2, cells in %3-%4")
            .arg(u32(index, 4))
            .arg(u32(index, 8))
            .arg(firstRow)
            .arg(endRow);
    if ((index.size() - 16) / 4 != dbCells.size())
        return QStringLiteral("INDEX lists %1 DBCELLs of %2")
            .arg((index.size() - 16) / 4)
            .arg(dbCells.size());
    std::size_t blockStart = 0;  // the record after the previous block
    for (std::size_t block = 0; block < dbCells.size(); ++block) {
        if (u32(index, 16 + 4 * block) != dbCells[block])
            return QStringLiteral("INDEX entry %1 misses its DBCELL").arg(block);
        const auto dbCell = find(dbCells[block]);
        auto row = find(dbCell->offset - u32(dbCell->data, 0));
        if (row == sheet.end() || row->id != kRow || (blockStart && row->offset != blockStart))
            return QStringLiteral("DBCELL %1 misses its first ROW").arg(block);
        std::size_t cell = row->offset + 20;
        const std::size_t rows = (dbCell->data.size() - 4) / 2;
        for (std::size_t i = 0; i < rows; ++i, ++row) {
            cell += u16(dbCell->data, 4 + 2 * i);
            const auto found = find(cell);
            if (row->id != kRow || found == sheet.end() || found->id != kLabelSst ||
                u16(found->data, 0) != u16(row->data, 0) ||
                u16(found->data, 2) != u16(row->data, 2))
                return QStringLiteral("DBCELL %1 misses the first cell of row %2")
                    .arg(block)
                    .arg(u16(row->data, 0));
        }
        if (row->id == kRow)
            return QStringLiteral("DBCELL %1 leaves out a row").arg(block);
        blockStart = dbCell->offset + 4 + dbCell->data.size();
    }
    return {};
}

}  // namespace

class ExportBiffTest : public QObject {
    Q_OBJECT

private slots:
    void stringAcrossRecords_data();
    void stringAcrossRecords();
    void surrogatePairsStayWhole_data();
    void surrogatePairsStayWhole();
    void extSstPlan_data();
    void extSstPlan();
    void recordsInExcelsOrder();
    void cellIndex_data();
    void cellIndex();
    void leftoverOfKilledExport_data();
    void leftoverOfKilledExport();
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

void ExportBiffTest::surrogatePairsStayWhole_data() {
    QTest::addColumn<QString>("probe");
    QTest::addColumn<int>("bytesLeft");
    // The record ends at every byte of the probe's first characters, at both
    // parities: before a pair, between its halves, after it, and before the string
    // (which then begins the CONTINUE record).
    const QString pair = QStringLiteral("🏠");
    const QStringList probes{pair + QStringLiteral("€€"), QStringLiteral("€€") + pair + "€",
                             QStringLiteral("€") + pair};
    for (const QString& probe : probes) {
        for (int left = 0; left <= 12; ++left)
            QTest::addRow("%s, %d bytes left", qPrintable(probe), left) << probe << left;
    }
}

void ExportBiffTest::surrogatePairsStayWhole() {
    QFETCH(QString, probe);
    QFETCH(int, bytesLeft);
    const std::string filler(8224 - 8 - 4 - 3 - bytesLeft, 'f');
    const std::vector<std::string> values{filler, probe.toStdString(), "z"};
    xls::Workbook book(kHeader);
    addRows(book, values);
    QTest::failOnWarning(QRegularExpression("splits a surrogate pair"));
    const QStringList strings = sharedStringsOf(recordsOf(streamOf(book)));
    QCOMPARE(strings, (QStringList{"A", QString::fromStdString(filler), probe, "z"}));
    const QString problems = readersProblems(book, values);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void ExportBiffTest::extSstPlan_data() {
    QTest::addColumn<quint32>("unique");
    QTest::addColumn<int>("perBucket");  // 0: more than a workbook can index
    QTest::addColumn<quint32>("buckets");
    QTest::newRow("none") << 0u << 8 << 0u;
    QTest::newRow("one") << 1u << 8 << 1u;
    QTest::newRow("past the minimum") << 1024u << 9 << 114u;
    QTest::newRow("the last count that fits") << 8'388'479u << 65535 << 128u;
    QTest::newRow("the first that does not") << 8'388'480u << 65535 << 128u;
    QTest::newRow("200,000 distinct listings") << 15'200'000u << 65535 << 232u;
    QTest::newRow("one record full") << 67'304'445u << 65535 << 1027u;
    QTest::newRow("beyond one record") << 67'304'446u << 0 << 0u;
}

void ExportBiffTest::extSstPlan() {
    QFETCH(quint32, unique);
    QFETCH(int, perBucket);
    QFETCH(quint32, buckets);
    if (perBucket == 0) {
        QVERIFY_THROWS_EXCEPTION(xls::Error, xls::extSstPlan(unique));
        return;
    }
    const xls::ExtSstPlan plan = xls::extSstPlan(unique);
    QCOMPARE(int(plan.perBucket), perBucket);
    QCOMPARE(plan.buckets, buckets);
    // Every string has its bucket, and every bucket its first string.
    QVERIFY(quint64(plan.buckets) * plan.perBucket >= unique);
    QVERIFY(plan.buckets == 0 || quint64(plan.buckets - 1) * plan.perBucket < unique);
}

void ExportBiffTest::recordsInExcelsOrder() {
    xls::Workbook book(kHeader);
    addRows(book, {"one"});
    const std::vector<Record> records = recordsOf(streamOf(book));
    std::vector<unsigned> ids;
    for (const Record& r : records)
        ids.push_back(r.id);
    auto collapse = [](std::vector<unsigned> seq) {
        seq.erase(std::unique(seq.begin(), seq.end()), seq.end());
        return seq;
    };
    const std::vector<unsigned> globals{
        kBof,          kInterfaceHdr, kMms,           kInterfaceEnd, kWriteAccess, kCodePage,
        kDsf,          kTabId,        kWindowProtect, kProtect,      kPassword,    kProt4Rev,
        kProt4RevPass, kWindow1,      kBackup,        kHideObj,      kDate1904,    kPrecision,
        kRefreshAll,   kBookBool,     kFont,          kFormat,       kXf,          kStyle,
        kUsesElfs,     kBoundSheet,   kCountry,       kSst,          kExtSst,      kEof};
    const std::vector<unsigned> sheet{
        kBof,        kIndex,   kCalcMode,         kCalcCount,    kRefMode,
        kIteration,  kDelta,   kSaveRecalc,       kPrintHeaders, kPrintGridlines,
        kGridSet,    kGuts,    kDefaultRowHeight, kWsBool,       kPageHeader,
        kPageFooter, kHCenter, kVCenter,          kSetup,        kDefColWidth,
        kDimensions, kRow,     kLabelSst,         kDbCell,       kWindow2,
        kEof};
    std::vector<unsigned> expected = globals;
    expected.insert(expected.end(), sheet.begin(), sheet.end());
    QCOMPARE(collapse(ids), expected);
    const auto count = [&](unsigned id) { return std::count(ids.begin(), ids.end(), id); };
    QCOMPARE(count(kFont), 5);
    QCOMPARE(count(kFormat), 8);
    QCOMPARE(count(kXf), 16);
    QCOMPARE(count(kLabelSst), 2);
    auto writeAccess = std::find_if(records.begin(), records.end(),
                                    [](const Record& r) { return r.id == kWriteAccess; });
    QCOMPARE(writeAccess->data.size(), std::size_t(112));
}

void ExportBiffTest::cellIndex_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("emptyRows");  // rows of Data without a value
    QTest::newRow("header only") << 0 << QList<int>{};
    QTest::newRow("one block full") << 31 << QList<int>{};
    QTest::newRow("one row into the next") << 32 << QList<int>{};
    QTest::newRow("empty rows, an empty block, empty last rows")
        << 130 << (QList<int>{0, 5, 6} + [] {
               QList<int> rows;
               for (int r = 63; r < 95; ++r)
                   rows.append(r);
               return rows;
           }() + QList<int>{128, 129});
}

void ExportBiffTest::cellIndex() {
    QFETCH(int, rows);
    QFETCH(QList<int>, emptyRows);
    xls::Workbook book({"A", "B", "C"});
    std::vector<std::string> texts;
    for (int i = 0; i < rows; ++i)
        texts.push_back(std::to_string(i));
    for (int i = 0; i < rows; ++i) {
        // Rows of one to three cells, not always from the first column, some with
        // a gap (a NULL between two values).
        Row row(1 + i % 3);
        if (!emptyRows.contains(i)) {
            for (std::size_t c = i % 2; c < row.size(); ++c)
                row[c] = texts[std::size_t(i)];
            if (i % 6 == 2)
                row[1].reset();
        }
        book.addRow(row);
    }
    const std::vector<Record> records = recordsOf(streamOf(book));
    const std::vector<Record> sheet = sheetAt(records, sheetOffsets(records).at(0));
    const QString problems = cellIndexProblems(sheet);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void ExportBiffTest::leftoverOfKilledExport_data() {
    QTest::addColumn<bool>("stillRunning");
    QTest::newRow("killed") << false;
    QTest::newRow("still running") << true;
}

void ExportBiffTest::leftoverOfKilledExport() {
    QFETCH(bool, stillRunning);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Data.xls"));
    auto leftovers = [&] {
        QStringList names;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
            if (name != QStringLiteral("Data.xls"))
                names.append(name);
        }
        return names;
    };
    auto exportTo = [&] {
        xls::Workbook book(kHeader);
        addRows(book, {"new"});
        xls::CompoundFile file(path);
        book.write(file);
        file.commit();
    };
    // A child process stops in the middle of writing: killed, or merely stopped.
    const pid_t child = fork();
    if (child == 0) {
        xls::CompoundFile file(path);
        const std::string bytes(100000, 'b');
        file.write(bytes.data(), bytes.size());
        raise(stillRunning ? SIGSTOP : SIGKILL);
        _exit(0);
    }
    // Ended however the test ends.
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid > 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
    } reaper{child};
    int status = 0;
    QCOMPARE(waitpid(child, &status, WUNTRACED), child);
    if (!stillRunning)
        reaper.pid = 0;
    const QStringList left = leftovers();
    QCOMPARE(left.size(), 1);
    QVERIFY2(xls::CompoundFile::isTemporaryOf(left[0], path), qPrintable(left[0]));
    QFile foreign(dir.filePath(QStringLiteral(".Data.xls.other")));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.close();

    exportTo();
    if (stillRunning) {
        QCOMPARE(leftovers(), (QStringList{left[0], ".Data.xls.other"}));
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        reaper.pid = 0;
        exportTo();
    }
    QCOMPARE(leftovers(), QStringList{".Data.xls.other"});
    const QString problems = contentProblems(path, {"new"});
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
    for (int i = 0; i < 400000; ++i)
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
        const QString problems = cellIndexProblems(sheetAt(records, sheetStarts[sheet]));
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
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
    // A leading U+FEFF is a character of the text, not a byte-order mark.
    QTest::newRow("mark first, one over") << QChar(0xFEFF) + QString(32767, 'a') << 32767;
}

void ExportBiffTest::cutToCell() {
    QFETCH(QString, text);
    QFETCH(int, kept);
    const std::optional<std::string> cut = xls::cutToCell(text.toStdString());
    if (kept < 0) {
        QVERIFY(!cut);
    } else {
        QVERIFY(cut);
        QCOMPARE(base::fromStoredUtf8(*cut), text.left(kept));
    }
}

QTEST_GUILESS_MAIN(ExportBiffTest)
#include "export_biff.moc"

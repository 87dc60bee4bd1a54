// The three writers of a list of rows (.xlsx, .xls, CSV), each given the same table
// of awkward values and read back by readers that are not ours
// (tests/export_check.py: openpyxl and ssconvert, xlrd, Python's csv module); and
// the previous file kept whenever a writer does not finish.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <string>
#include <vector>

#include "sheets/format.h"
#include "sheets/xlsxrows.h"
#include "xls/xlserror.h"

QString workbookProblems(const QString& workbook, const QStringList& expected, bool ssconvert);

namespace {

using Row = std::vector<std::optional<std::string>>;

const QStringList kHeader = {QStringLiteral("Case"), QStringLiteral("Value"),
                             QStringLiteral("Straße")};

// Texts that a writer could alter: quoting, line ends, characters outside the
// first plane, directional marks, bytes that are not UTF-8, characters XML cannot
// carry, text a spreadsheet would take for a number, a date or a formula, one text
// longer than a cell holds (its cut must not split the emoji at the limit), and
// empty and missing values.
std::vector<Row> awkwardRows() {
    const std::string house = "\xF0\x9F\x8F\xA0";
    const std::string longText = std::string(32766, 'a') + house + std::string(7230, 'b');
    const std::vector<std::pair<const char*, std::string>> values = {
        {"quotes", "say \"hi\" \"\""},
        {"comma", "Smith, John"},
        {"crlf", "line one\r\nline two"},
        {"cr, lf", "cr\ronly\nlf"},
        {"emoji", house + " for sale " + house},
        {"right to left", "\xE2\x80\x8F\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D\xE2\x80\x8E 12"},
        {"long", longText},
        {"invalid byte",
         "bad\xFF"
         "byte"},
        {"controls", std::string("bell\x07 nul\0 tab\t us\x1F", 21)},
        {"non-character", "end\xEF\xBF\xBF"},
        {"escape look-alike", "_x0041_ and _x00e9_"},
        {"leading zeros", "0400"},
        {"date", "01/05/24"},
        {"formula", "=1+1"},
        {"number", "1e5"},
        {"spaces", "  padded  "},
        {"empty", ""},
    };
    std::vector<Row> rows;
    for (const auto& [name, value] : values)
        rows.push_back({name, value, "x"});
    rows.push_back({"missing", std::nullopt, std::nullopt});
    rows.push_back({std::nullopt, std::nullopt, "last"});
    return rows;
}

void writeRows(sheets::RowWriter& writer, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        std::vector<std::optional<std::string_view>> values(row.begin(), row.end());
        writer.addRow(values);
    }
}

// What the checker derives each reader's expectation from: the values as bytes.
QString writeExpectation(const QString& path, const std::vector<Row>& rows, int rowsPerSheet) {
    QJsonArray hexRows;
    for (const Row& row : rows) {
        QJsonArray values;
        for (const std::optional<std::string>& value : row) {
            values.append(
                value ? QJsonValue(QString::fromLatin1(QByteArray::fromStdString(*value).toHex()))
                      : QJsonValue());
        }
        hexRows.append(values);
    }
    QJsonObject written{{"header", QJsonArray::fromStringList(kHeader)},
                        {"rows", hexRows},
                        {"rows_per_sheet", rowsPerSheet}};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QJsonDocument(written).toJson());
    return path;
}

QStringList leftovers(const QTemporaryDir& dir, const QString& keep) {
    QStringList names =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.removeAll(keep);
    return names;
}

}  // namespace

class SheetsWritersTest : public QObject {
    Q_OBJECT

private slots:
    void everyCellReadsBack_data();
    void everyCellReadsBack();
    void unfinishedKeepsPrevious_data();
    void unfinishedKeepsPrevious();
};

void SheetsWritersTest::everyCellReadsBack_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("rowsPerSheet");  // 0: the format's own
    QTest::addColumn<int>("rowsPerSheetRead");
    QTest::addColumn<std::uint64_t>("cutCells");
    QTest::addColumn<std::size_t>("sheets");
    QTest::newRow("xlsx") << "Data.xlsx" << 0 << int(sheets::XlsxRows::kRowsPerSheet)
                          << std::uint64_t(1) << std::size_t(1);
    QTest::newRow("xlsx, sheets of 8 rows")
        << "Data.xlsx" << 8 << 8 << std::uint64_t(1) << std::size_t(3);
    QTest::newRow("xls") << "Data.XLS" << 0 << 65535 << std::uint64_t(1) << std::size_t(1);
    QTest::newRow("csv") << "Data.csv" << 0 << 0 << std::uint64_t(0) << std::size_t(1);
}

void SheetsWritersTest::everyCellReadsBack() {
    QFETCH(QString, fileName);
    QFETCH(int, rowsPerSheet);
    QFETCH(int, rowsPerSheetRead);
    QFETCH(std::uint64_t, cutCells);
    QFETCH(std::size_t, sheets);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    const std::vector<Row> rows = awkwardRows();
    std::unique_ptr<sheets::RowWriter> writer =
        rowsPerSheet ? std::make_unique<sheets::XlsxRows>(path, kHeader, xls::ProgressCallback{},
                                                          std::uint32_t(rowsPerSheet))
                     : sheets::openRowWriter(path, kHeader);
    writeRows(*writer, rows);
    writer->commit();
    QCOMPARE(writer->rows(), std::uint64_t(rows.size()));
    QCOMPARE(writer->cutCells(), cutCells);
    QCOMPARE(writer->sheetCount(), sheets);
    QCOMPARE(leftovers(dir, fileName), QStringList());

    const QString expected =
        writeExpectation(dir.filePath(QStringLiteral("written.json")), rows, rowsPerSheetRead);
    QVERIFY(!expected.isEmpty());
    const QString problems = workbookProblems(path, {QStringLiteral("--written"), expected},
                                              sheets::formatFor(path) == sheets::Format::Xlsx);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void SheetsWritersTest::unfinishedKeepsPrevious_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("how");
    for (const char* name : {"Data.xlsx", "Data.xls", "Data.csv"}) {
        for (const char* how : {"cancelled", "abandoned", "no rename"})
            QTest::addRow("%s, %s", name, how) << name << how;
    }
    QTest::newRow("Data.xlsx, cancelled while packed") << "Data.xlsx"
                                                       << "packing";
}

// Cancelled by the progress callback, destroyed before its commit, or failing at
// the last step, the rename (the target a folder): the previous file is as it was,
// and nothing of the new one is left.
void SheetsWritersTest::unfinishedKeepsPrevious() {
    QFETCH(QString, fileName);
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    const QByteArray previous = "the previous file";
    if (how == QLatin1String("no rename")) {
        QVERIFY(QDir(dir.path()).mkdir(fileName));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(previous);
    }
    const xls::ProgressCallback stopAfterFirst = [](const xls::Progress& progress) {
        return progress.done == 0;
    };
    std::vector<Row> rows(600, Row{"a", "b", "c"});
    const xls::ProgressCallback stopWhenPacked = [&rows](const xls::Progress& progress) {
        return progress.done < rows.size();
    };
    const bool cancelled = how == QLatin1String("cancelled") || how == QLatin1String("packing");
    try {
        std::unique_ptr<sheets::RowWriter> writer =
            sheets::openRowWriter(path, kHeader,
                                  how == QLatin1String("cancelled") ? stopAfterFirst
                                  : how == QLatin1String("packing") ? stopWhenPacked
                                                                    : xls::ProgressCallback{});
        writeRows(*writer, rows);
        if (how == QLatin1String("no rename") || how == QLatin1String("packing"))
            writer->commit();
        QVERIFY(how == QLatin1String("abandoned"));
    } catch (const xls::Cancelled&) {
        QVERIFY(cancelled);
    } catch (const xls::Error& error) {
        QCOMPARE(how, QStringLiteral("no rename"));
        QVERIFY2(error.text().contains(path), qPrintable(error.text()));
    }
    if (how == QLatin1String("no rename")) {
        QVERIFY(QFileInfo(path).isDir());
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), previous);
    }
    QCOMPARE(leftovers(dir, fileName), QStringList());
}

QTEST_GUILESS_MAIN(SheetsWritersTest)
#include "sheets_writers.moc"

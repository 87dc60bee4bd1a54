#include "workbook.h"

#include <algorithm>
#include <stdexcept>

#include "biffrecords.h"
#include "biffwriter.h"
#include "celltext.h"
#include "sharedstrings.h"
#include "xlserror.h"

namespace xls {

namespace {
// The records around a sheet's cells, with a full INDEX, take less than this.
constexpr std::uint64_t kSheetRecordsRoom = 16384;
}  // namespace

Workbook::Workbook(const QStringList& header) : handoff_([this](Row values) { keepRow(values); }) {
    if (header.size() > kMaxColumns)
        throw xls::Error(QStringLiteral("A sheet holds at most %1 columns; the table has %2.")
                             .arg(kMaxColumns)
                             .arg(header.size()));
    // Cut here once, the header is written on every sheet as it stands.
    for (const QString& name : header) {
        std::string text = name.toStdString();
        if (std::optional<std::string> cut = cutToCell(text)) {
            ++cutHeadings_;
            text = std::move(*cut);
        }
        header_.push_back(std::move(text));
    }
    startSheet();
}

QString Workbook::sheetName(std::size_t index) {
    return QStringLiteral("WorkSheet%1").arg(index + 1);
}

void Workbook::startSheet() {
    cells_.startSheet();
    std::vector<std::optional<std::string_view>> names(header_.begin(), header_.end());
    addCells(names);
    rowsInSheet_ = 0;
}

void Workbook::addRow(std::span<const std::optional<std::string_view>> values) {
    if (values.size() > kMaxColumns)
        throw std::logic_error("a BIFF8 row has at most 256 columns");
    handoff_.add(cutToCells(values));
    ++rows_;
}

Workbook::Row Workbook::cutToCells(Row values) {
    const auto tooLong = [](const std::optional<std::string_view>& value) {
        return value && value->size() > kMaxCellText;
    };
    if (std::none_of(values.begin(), values.end(), tooLong))
        return values;
    cutRow_.assign(values.begin(), values.end());
    cutTexts_.clear();
    cutTexts_.reserve(values.size());
    for (std::optional<std::string_view>& value : cutRow_) {
        if (!tooLong(value))
            continue;
        if (std::optional<std::string> cut = cutToCell(*value)) {
            ++cutCells_;
            value = cutTexts_.emplace_back(std::move(*cut));
        }
    }
    return cutRow_;
}

void Workbook::keepRow(Row values) {
    if (rowsInSheet_ == kRowsPerSheet)
        startSheet();
    addCells(values);
    ++rowsInSheet_;
}

void Workbook::addCells(Row values) {
    texts_.clear();
    columns_.clear();
    for (std::size_t column = 0; column < values.size(); ++column) {
        if (!values[column])
            continue;
        texts_.push_back(*values[column]);
        columns_.push_back(std::uint16_t(column));
    }
    indexes_.resize(texts_.size());
    strings_.add(texts_, indexes_.data());
    cells_.beginRow();
    for (std::size_t i = 0; i < texts_.size(); ++i)
        cells_.cell(columns_[i], indexes_[i]);
    cells_.endRow();
}

void Workbook::write(ByteSink& sink, const ProgressCallback& progress) {
    handoff_.finish();
    cells_.finishSheet();
    const std::vector<SheetCells::Sheet>& sheets = cells_.sheets();
    BiffWriter writer(sink);
    // The strings take about their text and a header each; the sheets are known.
    std::uint64_t expected = strings_.textBytes() + 3 * std::uint64_t(strings_.size());
    for (const SheetCells::Sheet& sheet : sheets)
        expected += sheet.end - sheet.begin;
    writer.onWritten([&](std::uint64_t written) {
        report(progress, {std::min(written, expected), expected});
    });
    RecordBuffer& records = writer.records();

    globalsHead(records, sheets.size());
    std::vector<std::uint64_t> offsetFields;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        offsetFields.push_back(writer.position() + RecordBuffer::kHeader);
        boundSheet(records, sheetName(i));
    }
    globalsAfterSheets(records);
    writeSharedStrings(strings_, writer);
    endOfStream(records);

    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::uint64_t at = writer.position();
        // Every offset in the stream is 32 bits: a sheet must end below 4 GiB.
        if (at + (sheets[i].end - sheets[i].begin) + kSheetRecordsRoom > 0xFFFFFFFFu)
            throw xls::Error(
                QStringLiteral("The workbook would exceed 4 GB, more than an Excel 97 "
                               "workbook can hold."));
        writer.patchU32(offsetFields[i], std::uint32_t(at));
        RecordBuffer head;
        sheetHead(head, at, sheets[i].size, sheets[i].index);
        writer.raw(head.data());
        cells_.copy(i, writer);
        sheetTail(records, i == 0);
    }
    writer.flush();
    report(progress, {expected, expected});
}

}  // namespace xls

#include "xlsxrows.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <utility>

#include "celltext.h"
#include "xls/workbook.h"
#include "xls/xlserror.h"

namespace sheets {

namespace {

// How often the caller hears of the packing: as often as a window repaints.
constexpr std::chrono::milliseconds kPackingReportEvery{50};

// A column's width in characters of the default font: its heading, and room for
// the autofilter's button.
double widthFor(const QString& heading) {
    constexpr double kButton = 3.0;
    constexpr double kNarrowest = 8.43;  // Excel's default
    return std::max(kNarrowest, double(heading.size()) + kButton);
}

}  // namespace

XlsxRows::XlsxRows(const QString& path, const QStringList& header, xls::ProgressCallback progress,
                   std::uint32_t rowsPerSheet)
    : RowWriter(std::move(progress)), file_(path), rowsPerSheet_(rowsPerSheet) {
    if (std::size_t(header.size()) > kMaxColumns)
        file_.failWith(QStringLiteral("a sheet holds at most %1 columns; the table has %2")
                           .arg(kMaxColumns)
                           .arg(header.size()));
    for (const QString& name : header)
        header_.push_back(name.toStdString());
    // The library opens the temporary file by its name only when the workbook is
    // closed, and writes it from the start. Its sheets wait in files of its own in the
    // system's temporary folder, as the .xls writer's cells do; a sheet of a million
    // rows passes 4 GB before it is packed, which ZIP64 allows.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    book_ = workbook_new_opt(file_.temporaryPath().constData(), &options);
    if (!book_)
        file_.failWith(QStringLiteral("the workbook could not be started"));
    startSheet();
    handoff_.emplace(
        [this](std::span<const std::optional<std::string_view>> values) { keepRow(values); });
}

XlsxRows::~XlsxRows() {
    // The thread stops before the workbook goes.
    handoff_.reset();
    if (book_)
        lxw_workbook_free(book_);
}

void XlsxRows::check(int error) {
    if (error != LXW_NO_ERROR)
        file_.failWith(QString::fromUtf8(lxw_strerror(lxw_error(error))));
}

void XlsxRows::startSheet() {
    const QByteArray name = xls::Workbook::sheetName(sheets_).toUtf8();
    sheet_ = workbook_add_worksheet(book_, name.constData());
    if (!sheet_)
        file_.failWith(QStringLiteral("no sheet could be added"));
    ++sheets_;
    for (std::size_t column = 0; column < header_.size(); ++column) {
        const QString heading = QString::fromStdString(header_[column]);
        check(worksheet_set_column(sheet_, lxw_col_t(column), lxw_col_t(column), widthFor(heading),
                                   nullptr));
    }
    row_ = 0;
    for (std::size_t column = 0; column < header_.size(); ++column)
        cell(column, header_[column]);
    worksheet_freeze_panes(sheet_, 1, 0);
}

void XlsxRows::finishSheet() {
    if (!header_.empty())
        check(worksheet_autofilter(sheet_, 0, 0, row_, lxw_col_t(header_.size() - 1)));
}

void XlsxRows::writeRow(std::span<const std::optional<std::string_view>> values) {
    if (values.size() > kMaxColumns)
        file_.failWith(QStringLiteral("a sheet holds at most %1 columns").arg(kMaxColumns));
    handoff_->add(values);
}

void XlsxRows::keepRow(std::span<const std::optional<std::string_view>> values) {
    if (row_ == rowsPerSheet_) {
        finishSheet();
        startSheet();
    }
    ++row_;
    for (std::size_t column = 0; column < values.size(); ++column) {
        // An empty text, like a missing value, leaves its cell empty.
        if (values[column] && !values[column]->empty())
            cell(column, *values[column]);
    }
}

void XlsxRows::cell(std::size_t column, std::string_view text) {
    if (writtenCellText(text, written_))
        ++cutCells_;
    check(worksheet_write_string(sheet_, row_, lxw_col_t(column), written_.c_str(), nullptr));
}

void XlsxRows::commit() {
    if (handoff_) {
        handoff_->finish();
        handoff_.reset();
    }
    finishSheet();
    // The workbook is freed by its close, whatever the outcome. The close packs the
    // sheets, a minute for a million rows, with no way to report or stop it: it runs
    // on a thread of its own while this one goes on reporting, so that the windows
    // answer. A cancel meanwhile waits for the close, then keeps the previous file.
    lxw_workbook* book = std::exchange(book_, nullptr);
    std::future<lxw_error> closed =
        std::async(std::launch::async, [book] { return workbook_close(book); });
    bool cancelled = false;
    do {
        if (progress() && !progress()({rows(), 0}))
            cancelled = true;
        file_.settleWritten();
    } while (closed.wait_for(kPackingReportEvery) != std::future_status::ready);
    check(closed.get());
    if (cancelled) {
        file_.abandon();
        throw xls::Cancelled();
    }
    file_.commit();
}

}  // namespace sheets

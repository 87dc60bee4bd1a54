#pragma once

#include <QStringList>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rowwriter.h"
#include "xls/replacingfile.h"
#include "xls/rowhandoff.h"

struct lxw_workbook;
struct lxw_worksheet;

namespace sheets {

// An Excel workbook (.xlsx, Office Open XML) of text cells, through libxlsxwriter in
// its constant-memory mode: each row goes to the sheet's temporary file as it comes,
// and commit() packs them. Every sheet starts with the header row, frozen above the
// rows and with an autofilter over the columns, each column as wide as its heading;
// a full sheet goes on in the next, "WorkSheet1", "WorkSheet2" and so on. Each value
// is a text cell in the form writtenCellText() gives. The library writes the rows on
// a thread of its own (xls::RowHandoff) while the caller reads the next ones.
// commit() reports the rows written (total 0) now and then while it packs the file,
// and may be cancelled then.
class XlsxRows final : public RowWriter {
public:
    // Rows below the header on one sheet: the most a sheet holds.
    static constexpr std::uint32_t kRowsPerSheet = 1048575;
    static constexpr std::size_t kMaxColumns = 16384;

    // `rowsPerSheet` lower than the most, for a test of the sheets that follow.
    XlsxRows(const QString& path, const QStringList& header, xls::ProgressCallback progress = {},
             std::uint32_t rowsPerSheet = kRowsPerSheet);
    ~XlsxRows() override;

    void commit() override;
    std::size_t sheetCount() const override {
        return rows() == 0 ? 1 : std::size_t(1 + (rows() - 1) / rowsPerSheet_);
    }
    std::uint64_t cutCells() const override { return cutCells_; }

private:
    void writeRow(std::span<const std::optional<std::string_view>> values) override;
    void keepRow(std::span<const std::optional<std::string_view>> values);
    void startSheet();
    void finishSheet();
    void cell(std::size_t column, std::string_view text);
    void check(int error);

    xls::ReplacingFile file_;
    std::vector<std::string> header_;
    std::uint32_t rowsPerSheet_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::size_t sheets_ = 0;
    std::uint32_t row_ = 0;  // in the sheet, the header being row 0
    std::atomic<std::uint64_t> cutCells_ = 0;
    std::string written_;  // the cell's written form, reused
    std::optional<xls::RowHandoff> handoff_;
};

}  // namespace sheets

#pragma once

#include <QStringList>

#include "rowwriter.h"
#include "xls/compoundfile.h"
#include "xls/workbook.h"

namespace sheets {

// An Excel 97 workbook (.xls), as "Export" writes Data.xls: xls::Workbook, with its
// sheets of 65,535 rows, in an xls::CompoundFile. The rows wait in the workbook's
// spill file; commit() writes the workbook and reports its bytes.
class XlsRows final : public RowWriter {
public:
    XlsRows(const QString& path, const QStringList& header, xls::ProgressCallback progress = {});

    void commit() override;
    std::size_t sheetCount() const override { return book_.sheetCount(); }
    std::uint64_t cutCells() const override { return book_.cutCells(); }

private:
    void writeRow(std::span<const std::optional<std::string_view>> values) override {
        book_.addRow(values);
    }

    xls::Workbook book_;
    xls::CompoundFile file_;
};

}  // namespace sheets

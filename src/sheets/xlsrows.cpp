#include "xlsrows.h"

namespace sheets {

XlsRows::XlsRows(const QString& path, const QStringList& header, xls::ProgressCallback progress)
    : RowWriter(std::move(progress)), book_(header), file_(path) {}

void XlsRows::commit() {
    book_.write(file_, progress());
    file_.commit();
}

}  // namespace sheets

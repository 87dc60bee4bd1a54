#include "format.h"

#include <QFileInfo>

#include "csvrows.h"
#include "xlsrows.h"
#include "xlsxrows.h"

namespace sheets {

Format formatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0)
        return Format::Xls;
    if (suffix.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return Format::Csv;
    return Format::Xlsx;
}

std::unique_ptr<RowWriter> openRowWriter(Format format, const QString& path,
                                         const QStringList& header,
                                         xls::ProgressCallback progress) {
    switch (format) {
        case Format::Xls:
            return std::make_unique<XlsRows>(path, header, std::move(progress));
        case Format::Csv:
            return std::make_unique<CsvRows>(path, header, std::move(progress));
        case Format::Xlsx:
            break;
    }
    return std::make_unique<XlsxRows>(path, header, std::move(progress));
}

std::unique_ptr<RowWriter> openRowWriter(const QString& path, const QStringList& header,
                                         xls::ProgressCallback progress) {
    return openRowWriter(formatFor(path), path, header, std::move(progress));
}

}  // namespace sheets

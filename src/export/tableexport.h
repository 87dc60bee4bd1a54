#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "xls/writeprogress.h"

namespace db {
class TableReader;
}

namespace exporter {

struct ExportSummary {
    std::uint64_t rows = 0;
    std::size_t sheets = 0;
    std::uint64_t cutCells = 0;
};

// Copies every row of the table Data, as the database returns them, into a new
// workbook at workbookPath, replacing the previous one only once the new one is
// complete. The database is read by a connection of the export's own.
// The callback hears how far it has come and may cancel it.
// Throws db::DbError, xls::Error or xls::Cancelled; then the previous workbook stays
// as it was.
ExportSummary exportTable(const QString& dbPath, const QString& workbookPath,
                          const xls::ProgressCallback& progress = {});
// The same through the reader that the program's connection gives, file or server.
ExportSummary exportTable(std::unique_ptr<db::TableReader> reader, const QString& workbookPath,
                          const xls::ProgressCallback& progress = {});

}  // namespace exporter

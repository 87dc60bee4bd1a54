#pragma once

#include <QString>
#include <cstdint>

namespace xls {

struct ExportSummary {
    std::uint64_t rows = 0;
    std::size_t sheets = 0;
    std::uint64_t cutCells = 0;
};

// Copies every row of the table Data, as the database returns them, into a new
// workbook at workbookPath, replacing the previous one only once the new one is
// complete. The database is read by a connection of the export's own.
// Throws db::DbError or xls::Error; a failure leaves the previous workbook.
ExportSummary exportTable(const QString& dbPath, const QString& workbookPath);

}  // namespace xls

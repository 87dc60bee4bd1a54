#include "tableexport.h"

#include <optional>
#include <string_view>
#include <vector>

#include "db/tablereader.h"
#include "xls/compoundfile.h"
#include "xls/workbook.h"

namespace exporter {

using xls::CompoundFile;
using xls::ProgressCallback;
using xls::Workbook;

namespace {

// Rows between two reports of progress.
constexpr std::uint64_t kReportEvery = 256;

void readRows(db::TableReader& reader, Workbook& book, const ProgressCallback& progress) {
    std::vector<std::optional<std::string_view>> row(std::size_t(reader.columnCount()));
    while (reader.next()) {
        if (book.rows() % kReportEvery == 0)
            xls::report(progress, {book.rows(), 0});
        // A NULL is no value at all: its cell stays blank.
        for (std::size_t column = 0; column < row.size(); ++column)
            row[column] = reader.text(int(column));
        book.addRow(row);
    }
}

}  // namespace

ExportSummary exportTable(const QString& dbPath, const QString& workbookPath,
                          const ProgressCallback& progress) {
    return exportTable(std::make_unique<db::FileTableReader>(dbPath), workbookPath, progress);
}

ExportSummary exportTable(std::unique_ptr<db::TableReader> reader, const QString& workbookPath,
                          const ProgressCallback& progress) {
    std::optional<Workbook> book;
    {
        reader->openTable(QStringLiteral("Data"));
        QStringList header;
        for (int column = 0; column < reader->columnCount(); ++column)
            header.append(reader->columnName(column));
        book.emplace(header);
        readRows(*reader, *book, progress);
        // The reader is closed before the file is written: the database is free again
        // as soon as the rows are read.
        reader.reset();
    }
    CompoundFile file(workbookPath);
    book->write(file, progress);
    file.commit();
    return {book->rows(), book->sheetCount(), book->cutCells()};
}

}  // namespace exporter

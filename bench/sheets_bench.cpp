// The .xlsx and CSV writers on 1,000,000 rows of 76 short texts read from the file,
// against sqlite3 dumping the same table to CSV and the .xls export of the same
// rows, all measured in this run, each in a process of its own for its peak memory.
//   bench_sheets [ROWS]               the whole comparison (1,000,000 rows by default)
//   bench_sheets --write DB FILE      one file written from Data, its format by its name
//   bench_sheets --export DB FILE     the .xls export as "Export" runs it
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <string>
#include <vector>

#include "db/tablereader.h"
#include "export/tableexport.h"
#include "exportrows.h"
#include "sheets/format.h"
#include "support/testfolder.h"

namespace {

void writeFile(const QString& db, const QString& path) {
    db::FileTableReader reader(db);
    reader.openTable(QStringLiteral("Data"));
    QStringList header;
    for (int column = 0; column < reader.columnCount(); ++column)
        header.append(reader.columnName(column));
    const std::unique_ptr<sheets::RowWriter> writer = sheets::openRowWriter(path, header);
    std::vector<std::optional<std::string_view>> row(std::size_t(reader.columnCount()));
    while (reader.next()) {
        for (std::size_t column = 0; column < row.size(); ++column)
            row[column] = reader.text(int(column));
        writer->addRow(row);
    }
    writer->commit();
    std::printf("%llu rows, %zu sheets\n", (unsigned long long)writer->rows(),
                writer->sheetCount());
}

int childMain(const std::string& mode, const QString& db, const QString& path) {
    try {
        if (mode == "--write")
            writeFile(db, path);
        else
            exporter::exportTable(db, path);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

void measure(const std::string& self, int rows) {
    TestFolder folder;
    std::printf("-- %d rows x 76 columns\n", rows);
    fillData(folder, rows, Values::Listings);
    const std::string db = folder.dbPath().toStdString();
    const std::string out = folder.file(QStringLiteral("out.txt")).toStdString();
    auto run = [&](const char* what, const std::vector<std::string>& command, const QString& file) {
        const ChildRun child = runChild(command, file.isEmpty() ? out : file.toStdString());
        const QString written = file.isEmpty() ? QString::fromStdString(command.back()) : file;
        std::printf("%-28s %7.2f s, peak memory %4.0f MB, file %6.0f MB%s\n", what, child.seconds,
                    child.peakMegabytes, double(QFileInfo(written).size()) / 1e6,
                    child.ok ? "" : " (FAILED)");
        std::fflush(stdout);
        QFile::remove(written);
        return child;
    };
    const ChildRun dump = run("sqlite3 -csv -header",
                              {"/usr/bin/sqlite3", "-csv", "-header", db, "SELECT * FROM Data"},
                              folder.file(QStringLiteral("dump.csv")));
    const ChildRun csv =
        run("CSV writer", {self, "--write", db, folder.file("Data.csv").toStdString()}, {});
    const ChildRun xls =
        run(".xls export", {self, "--export", db, folder.file("Data.xls").toStdString()}, {});
    const ChildRun xlsx =
        run(".xlsx writer", {self, "--write", db, folder.file("Data.xlsx").toStdString()}, {});
    std::printf("CSV / sqlite3 dump: %.2fx (target at most 1.5x)\n", csv.seconds / dump.seconds);
    std::printf(".xlsx / .xls export: %.2fx (target at most 3x)\n", xlsx.seconds / xls.seconds);
    std::printf(".xls export / sqlite3 dump: %.2fx\n", xls.seconds / dump.seconds);
    std::printf("peak memory under 200 MB: CSV %s, .xlsx %s\n",
                csv.peakMegabytes < 200 ? "yes" : "NO", xlsx.peakMegabytes < 200 ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4)
        return childMain(argv[1], QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    try {
        measure(QCoreApplication::applicationFilePath().toStdString(),
                argc == 2 ? std::atoi(argv[1]) : 1000000);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}

// The .xlsx and CSV writers on 1,000,000 rows of 76 short texts read by the export's
// reader, against sqlite3 dumping the same table to CSV and the .xls export of the
// same rows, all measured in this run, each in a process of its own for its peak
// memory; and the listings window's "Export..." of every listing to .xls. With
// PELMAR_TEST_ENGINE=server the rows lie on the test server, and the reference is
// psql copying them to CSV. FOLDER is a desk's folder, its database file or server.
//   bench_sheets [ROWS]                 the whole comparison (1,000,000 rows by default)
//   bench_sheets --write FOLDER FILE    one file written from Data, its format by its name
//   bench_sheets --export FOLDER FILE   the .xls export as "Export" runs it
//   bench_sheets --listings FOLDER FILE every listing, as the listings window exports them
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <string>
#include <vector>

#include "db/store.h"
#include "db/tablereader.h"
#include "export/listingrows.h"
#include "export/tableexport.h"
#include "exportrows.h"
#include "sheets/format.h"
#include "shell/desk.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

namespace {

void writeFile(db::Store& store, const QString& path) {
    const std::unique_ptr<db::TableReader> reader = store.exportReader();
    reader->openTable(QStringLiteral("Data"));
    QStringList header;
    for (int column = 0; column < reader->columnCount(); ++column)
        header.append(reader->columnName(column));
    const std::unique_ptr<sheets::RowWriter> writer = sheets::openRowWriter(path, header);
    std::vector<std::optional<std::string_view>> row(std::size_t(reader->columnCount()));
    while (reader->next()) {
        for (std::size_t column = 0; column < row.size(); ++column)
            row[column] = reader->text(int(column));
        writer->addRow(row);
    }
    writer->commit();
    std::printf("%llu rows, %zu sheets\n", (unsigned long long)writer->rows(),
                writer->sheetCount());
}

// As the listings window has them once every part is read: all identities, newest
// first, read back through the store a part at a time.
void exportListings(db::Store& store, const QString& path) {
    const QList<db::ListingId> ids = store.identities({});
    const exporter::ExportSummary summary =
        exporter::exportListings(store, ids, path, sheets::formatFor(path));
    std::printf("%llu rows, %zu sheets\n", (unsigned long long)summary.rows, summary.sheets);
}

int childMain(const std::string& mode, const QString& folder, const QString& path) {
    try {
        const std::unique_ptr<shell::Desk> desk = shell::Desk::startUp(folder, scriptedMessages());
        if (mode == "--write")
            writeFile(desk->store(), path);
        else if (mode == "--listings")
            exportListings(desk->store(), path);
        else
            exporter::exportTable(desk->store().exportReader(), path);
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
    const std::string desk = folder.path().toStdString();
    const bool server = !folder.server().isEmpty();
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
    const ChildRun dump = run(server ? "psql \\copy to CSV" : "sqlite3 -csv -header",
                              csvDumpCommand(folder), folder.file(QStringLiteral("dump.csv")));
    const ChildRun csv =
        run("CSV writer", {self, "--write", desk, folder.file("Data.csv").toStdString()}, {});
    const ChildRun xls =
        run(".xls export", {self, "--export", desk, folder.file("Data.xls").toStdString()}, {});
    const ChildRun xlsx =
        run(".xlsx writer", {self, "--write", desk, folder.file("Data.xlsx").toStdString()}, {});
    const ChildRun shown =
        run("listings \"Export...\" .xls",
            {self, "--listings", desk, folder.file("Shown.xls").toStdString()}, {});
    const char* reference = server ? "psql copy" : "sqlite3 dump";
    std::printf("CSV / %s: %.2fx (target at most 1.5x)\n", reference, csv.seconds / dump.seconds);
    std::printf(".xlsx / .xls export: %.2fx (target at most 3x)\n", xlsx.seconds / xls.seconds);
    std::printf(".xls export / %s: %.2fx (target at most %s)\n", reference,
                xls.seconds / dump.seconds, server ? "1.5x" : "1.2x");
    std::printf("listings \"Export...\" / .xls export: %.2fx\n", shown.seconds / xls.seconds);
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

// The export of 65,535 rows of 76 short texts, against sqlite3 dumping the same
// table to CSV and python3-xlwt writing the same rows, all measured in this run.
// With PELMAR_TEST_ENGINE=server the rows lie on the test server, and the reference
// is psql copying the same rows to CSV.
//   bench_export                     the whole comparison
//   bench_export --export FOLDER XLS one export, as the child whose peak memory is measured
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "db/dberror.h"
#include "db/schema.h"
#include "db/tablereader.h"
#include "export/tableexport.h"
#include "exportrows.h"
#include "shell/desk.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"
#include "support/testserver.h"

namespace {

template <class Fn>
double median(int times, Fn fn) {
    std::vector<double> seconds;
    for (int i = 0; i < times; ++i)
        seconds.push_back(fn());
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

std::string distinctValues(const TestFolder& folder) {
    QStringList parts;
    for (const QString& column : db::schema::dataColumns())
        parts.append(QStringLiteral("SELECT %1 AS v FROM Data").arg(column));
    return folder
        .column(QStringLiteral("SELECT count(DISTINCT v) FROM (%1) AS t")
                    .arg(parts.join(" UNION ALL ")))
        .value(0)
        .toStdString();
}

// The export as the program runs it, on the database that the folder names.
exporter::ExportSummary exportFolder(const QString& folder, const QString& workbook) {
    const exporter::ExportSummary summary = exporter::exportTable(
        shell::Desk::startUp(folder, scriptedMessages())->store().exportReader(), workbook);
    return summary;
}

int exportOnce(const QString& folder, const QString& workbook) {
    try {
        const exporter::ExportSummary summary = exportFolder(folder, workbook);
        std::printf("%llu rows, %zu sheets\n", (unsigned long long)summary.rows, summary.sheets);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

void measure(const std::string& self, int rows, Values values, bool withReferences) {
    TestFolder folder;
    fillData(folder, rows, values);
    const QString db = folder.dbPath();
    const bool server = !folder.server().isEmpty();
    const QString workbook = folder.file(QStringLiteral("Data.xls"));
    const std::string out = folder.file(QStringLiteral("out.txt")).toStdString();
    std::printf("-- %d rows x 76 columns, %s distinct values\n", rows,
                distinctValues(folder).c_str());

    const double ours = median(3, [&] {
        const Clock::time_point start = Clock::now();
        exportFolder(folder.path(), workbook);
        return secondsSince(start);
    });
    const ChildRun child =
        runChild({self, "--export", folder.path().toStdString(), workbook.toStdString()}, out);
    std::printf("export, in process (median of 3): %.3f s, workbook %.1f MB\n", ours,
                double(QFileInfo(workbook).size()) / 1e6);
    std::printf("export, own process:              %.3f s, peak memory %.0f MB%s\n", child.seconds,
                child.peakMegabytes, child.ok ? "" : " (FAILED)");
    if (!withReferences)
        return;

    const std::string csv = folder.file(QStringLiteral("Data.csv")).toStdString();
    ChildRun dump;
    const double dumpSeconds = median(3, [&] {
        dump = runChild(csvDumpCommand(folder), csv);
        return dump.seconds;
    });
    std::printf("%s CSV dump (median of 3):   %.3f s%s\n", server ? "psql \\copy" : "sqlite3",
                dumpSeconds, dump.ok ? "" : " (FAILED)");
    if (server) {
        std::printf("export / psql copy: %.2fx (target at most 1.5x)\n", ours / dumpSeconds);
        std::printf("peak memory under 250 MB: %s\n", child.peakMegabytes < 250 ? "yes" : "NO");
        return;
    }
    const ChildRun xlwt = runChild({"/usr/bin/python3", PELMAR_XLWT_SCRIPT, db.toStdString(),
                                    folder.file(QStringLiteral("xlwt.xls")).toStdString()},
                                   out);
    std::printf("python3-xlwt:                     %.3f s, peak memory %.0f MB%s\n", xlwt.seconds,
                xlwt.peakMegabytes, xlwt.ok ? "" : " (FAILED)");
    std::printf("export / CSV dump: %.2fx (target at most 1.5x)\n", ours / dumpSeconds);
    std::printf("xlwt / export: %.1fx faster (target at least 15x)\n", xlwt.seconds / ours);
    std::printf("export under 1.0 s: %s; peak memory under 250 MB: %s\n", ours < 1.0 ? "yes" : "NO",
                child.peakMegabytes < 250 ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--export")
        return exportOnce(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    try {
        const std::string self = QCoreApplication::applicationFilePath().toStdString();
        measure(self, 65535, Values::Listings, true);
        // Memory grows with the distinct texts only: the worst case of one sheet, and
        // more rows than three sheets hold.
        measure(self, 65535, Values::AllDistinct, false);
        measure(self, 200000, Values::Listings, false);
    } catch (const db::DbError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return 1;
    }
    return 0;
}

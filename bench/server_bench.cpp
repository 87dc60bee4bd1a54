// Eight desks storing 1,000 listings each at the same moment through the program's
// insert path, against the same 8,000 rows stored by eight processes with bare
// INSERTs through libpq, both on the test server in this run. Prints rows per
// second and checks that every listing is stored exactly once.
//   bench_server                          the comparison
//   bench_server --desk FOLDER DESK MODE  one desk, as a child process
#include <libpq-fe.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

#include "db/statementtext.h"
#include "entry/listinginsert.h"
#include "shell/desk.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"
#include "support/testserver.h"

namespace {

constexpr int kDesks = 8;
constexpr int kListings = 1000;

db::Listing listing(int desk, int n) {
    db::Listing record;
    for (int k = 0; k < db::kColumnCount; ++k)
        record[db::Column(k)] =
            QStringLiteral("desk %1 listing %2 value %3").arg(desk).arg(n).arg(k);
    return record;
}

int runDesk(const QString& folder, int desk, const QString& mode) {
    if (mode == QLatin1String("program")) {
        const std::unique_ptr<shell::Desk> program =
            shell::Desk::startUp(folder, scriptedMessages());
        for (int n = 0; n < kListings; ++n) {
            db::Listing record = listing(desk, n);
            entry::insertListing(record, program->store(), folder);
        }
        return 0;
    }
    QFile setting(folder + QStringLiteral("/Pelmar.ini"));
    setting.open(QIODevice::ReadOnly);
    const QByteArray conninfo = setting.readAll().split('=').mid(1).join('=').trimmed();
    PGconn* conn = PQconnectdb(conninfo.constData());
    for (int n = 0; n < kListings; ++n) {
        PGresult* result =
            PQexec(conn, db::insertText(listing(desk, n).values()).toUtf8().constData());
        if (PQresultStatus(result) != PGRES_COMMAND_OK)
            qFatal("%s", PQerrorMessage(conn));
        PQclear(result);
    }
    PQfinish(conn);
    return 0;
}

double runDesks(const TestFolder& folder, const QString& mode) {
    folder.exec(QStringLiteral("DELETE FROM Data"));
    QList<QProcess*> desks;
    QElapsedTimer timer;
    timer.start();
    for (int desk = 0; desk < kDesks; ++desk) {
        auto* process = new QProcess;
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--desk"), folder.path(), QString::number(desk), mode});
        desks.append(process);
    }
    for (QProcess* process : desks) {
        process->waitForFinished(-1);
        if (process->exitCode() != 0)
            qFatal("a desk failed");
        delete process;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const QStringList counts =
        folder.rows(QStringLiteral("SELECT count(*), count(DISTINCT UnitNo) FROM Data")).value(0);
    std::printf(
        "  %-32s %6.0f rows/s  (%s rows, %s distinct, in %.2f s)\n",
        mode == QLatin1String("program") ? "program's insert path:" : "bare INSERTs through libpq:",
        kDesks * kListings / seconds, qPrintable(counts.value(0)), qPrintable(counts.value(1)),
        seconds);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 5 && args.at(1) == QLatin1String("--desk"))
        return runDesk(args.at(2), args.at(3).toInt(), args.at(4));
    qputenv("PELMAR_TEST_ENGINE", "server");
    TestFolder folder;
    std::printf("%d desks storing %d listings each at once, on the test server\n", kDesks,
                kListings);
    const double bare = runDesks(folder, QStringLiteral("bare"));
    const double program = runDesks(folder, QStringLiteral("program"));
    std::printf("  program / bare: %.2fx the time\n", program / bare);
    return 0;
}

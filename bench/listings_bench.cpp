// The window "Listings" on 1,000,000 listings: the window shown with its first rows,
// every identity read, a search, a sort by a searched column, scrolling a page, one
// correction stored, and on a file the first search on a file made before the search
// index and a correction while another connection exports, each against a bare
// statement that reads or writes the same rows in the same run (SQLite's own
// interface on the file, libpq on a server with PELMAR_TEST_ENGINE=server), with the
// longest stop of the window: how late a timer that the event loop must serve every
// 50 ms ran.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "db/connection.h"
#include "db/corrections.h"
#include "db/schema.h"
#include "db/serversession.h"
#include "db/tablereader.h"
#include "listings/listingswindow.h"
#include "median.h"
#include "support/appharness.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"
#include "support/testserver.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kRounds = 5;

double timed(const std::function<void()>& fn) {
    QElapsedTimer timer;
    timer.start();
    fn();
    return timer.nsecsElapsed() / 1e6;
}

// Listings as the entry windows store them: short texts, flags, many "x".
void fill(const TestFolder& folder) {
    QStringList values(76, QStringLiteral("'x'"));
    for (int k = 42; k <= 60; ++k)
        values[k] = QStringLiteral("'0'");
    const QHash<int, QString> varied = {
        {0, "'NSW'"},
        {1, "'Sydney Herald'"},
        {2, "(i % 28 + 1) || '/' || (i % 12 + 1) || '/24'"},
        {4, "'' || (i % 300)"},
        {5, "'STREET' || (i % 5000)"},
        {6, "'SUBURB' || (i % 2000)"},
        {7, "'House'"},
        {8, "'Sale'"},
        {9, "'Agency ' || (i % 700)"},
        {14, "'' || (300000 + i % 1000 * 1000)"},
        {20, "'' || (i % 5)"},
        {62, "'Agency ' || (i % 700)"},
        {63, "'JOHN' || (i % 900)"},
        {64, "'SMITH' || (i % 30000)"},
        {65, "'02 9' || (1000000 + i)"},
        {74, "'Sydney Herald'"},
        {75, "(i % 28 + 1) || '/' || (i % 12 + 1) || '/24'"},
    };
    for (auto it = varied.begin(); it != varied.end(); ++it)
        values[it.key()] = it.value();
    const QString source = onServer()
                               ? QStringLiteral("generate_series(1, %1) AS n(i)").arg(kRows)
                               : QStringLiteral(
                                     "(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                     "FROM n WHERE i < %1) SELECT i FROM n)")
                                     .arg(kRows);
    folder.exec(QStringLiteral("INSERT INTO Data SELECT %1 FROM %2")
                    .arg(values.join(QStringLiteral(", ")), source));
    if (onServer())
        folder.exec(QStringLiteral("VACUUM ANALYZE Data"));
}

// A bare statement, every value of every row read.
class Bare {
public:
    explicit Bare(const TestFolder& folder) {
        if (onServer())
            connection_.openServer(folder.server());
        else
            connection_.openFile(folder.dbPath());
    }
    qint64 run(const QString& statement) {
        qint64 values = 0;
        for (const QStringList& row : connection_.select(statement))
            for (const QString& value : row)
                values += value.size() > 0;
        return values;
    }
    QString id() const {
        return connection_.isServer() ? db::schema::kStoredOrder : QStringLiteral("rowid");
    }

private:
    db::Connection connection_;
};

void report(const char* what, double program, double bare, const char* reference) {
    std::printf("  %-44s %9.1f ms   %-34s %9.1f ms   ratio %.2f\n", what, program, reference, bare,
                program / bare);
}

// How long the window stood still at most while it is alive: the longest gap between
// the ticks of a 50 ms timer, less the 50 ms.
class LongestStop {
public:
    LongestStop() {
        ticks_.setInterval(kTickMs);
        QObject::connect(&ticks_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, since_.elapsed() - kTickMs);
            since_.restart();
        });
        since_.start();
        ticks_.start();
    }
    double ms() const { return double(std::max(longest_, since_.elapsed() - kTickMs)); }

private:
    static constexpr qint64 kTickMs = 50;
    QTimer ticks_;
    QElapsedTimer since_;
    qint64 longest_ = 0;
};

// Serves the event loop until the window's finder has put its listings in the table.
void awaitFinder(listings::ListingsWindow* window) {
    while (window->model().finding())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

}  // namespace

// What only a file meets: a search before the window has made the index of a file
// made without it, and a correction while another connection reads every row.
void fileOnly(AppHarness& app, const TestFolder& folder, Bare& bare, const QString& needle,
              ScriptedMessages& messages) {
    folder.exec(QStringLiteral("DROP INDEX ListingsSearch"));
    std::optional<LongestStop> stop(std::in_place);
    app.menuItem(QStringLiteral("nListings"))->trigger();
    auto* window = qobject_cast<listings::ListingsWindow*>(app.window(QStringLiteral("Listings")));
    const double opened = stop->ms();
    auto* box = app.control<QLineEdit>(QStringLiteral("Listings"), QStringLiteral("Text1"));
    const double searched = timed([&] {
        box->setText(needle);
        window->searchNow();
        awaitFinder(window);
    });
    const double searchStop = stop->ms();
    if (!messages.shown().isEmpty())
        qFatal("%s", qPrintable(messages.last().text));
    QStringList likes;
    for (int k : db::schema::searchedColumns())
        likes.append(QStringLiteral("%1 LIKE '%%2%'").arg(db::schema::dataColumns().at(k), needle));
    const double bareSearch = timed([&] {
        bare.run(QStringLiteral("SELECT rowid FROM Data WHERE %1").arg(likes.join(" OR ")));
    });
    std::printf("On a file made before the search index (the window makes it meanwhile)\n");
    report("first search (every match counted)", searched, bareSearch,
           "bare SELECT ... LIKE, every match");
    std::printf(
        "  longest stop of the window from opening it to the matches shown: %.1f ms "
        "(opening: %.1f ms)\n",
        searchStop, opened);
    window->clearQuery();
    window->closeWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Another connection reads every row, as an export does, while a cell is corrected.
    app.menuItem(QStringLiteral("nListings"))->trigger();
    window = qobject_cast<listings::ListingsWindow*>(app.window(QStringLiteral("Listings")));
    std::atomic<bool> reading{true};
    std::thread exporter([&] {
        db::FileTableReader reader(folder.dbPath());
        reader.openTable(QStringLiteral("Data"));
        while (reader.next()) {
        }
        reading = false;
    });
    QThread::msleep(200);
    QTableView* table = window->table();
    table->setCurrentIndex(window->model().index(0, 6));
    window->model().setData(table->currentIndex(), QStringLiteral("DURING EXPORT"), Qt::EditRole);
    stop.emplace();
    const bool stillReading = reading;
    const double corrected = timed([&] { table->setCurrentIndex(window->model().index(1, 6)); });
    const double correctStop = stop->ms();
    const bool stored = window->model().editedRow() < 0;
    exporter.join();
    const double bareRead = timed([&] {
        db::FileTableReader reader(folder.dbPath());
        reader.openTable(QStringLiteral("Data"));
        while (reader.next()) {
        }
    });
    std::printf("A correction while another connection reads every row (%s)\n",
                stillReading ? "it was still reading" : "it had finished first");
    std::printf("  one correction: %.1f ms, %s; longest stop %.1f ms; the read alone %.1f ms\n",
                corrected, stored ? "stored" : "not stored (the window said why)", correctStop,
                bareRead);
    messages.clear();
    window->model().revertEdits();
    window->closeWindow();
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TestFolder folder;
    std::printf("filling Data with %d listings...\n", kRows);
    std::fflush(stdout);
    fill(folder);
    ScriptedMessages messages;
    Bare bare(folder);
    const QString columns =
        bare.id() + QStringLiteral(", ") + db::schema::dataColumns().join(QStringLiteral(", "));
    const QString firstPage = QStringLiteral("SELECT %1 FROM Data ORDER BY %2 DESC LIMIT %3")
                                  .arg(columns, bare.id())
                                  .arg(listings::ListingsModel::kPage);
    const QString needle = QStringLiteral("smith2999");
    QStringList likes;
    for (int k : db::schema::searchedColumns())
        likes.append(QStringLiteral("%1 LIKE '%%2%'").arg(db::schema::dataColumns().at(k), needle));
    const QString bareSearch =
        QStringLiteral("SELECT %1 FROM Data WHERE %2 ORDER BY %3 DESC LIMIT %4")
            .arg(columns, likes.join(QStringLiteral(" OR ")), bare.id())
            .arg(listings::ListingsModel::kPage);

    QList<double> shown, everyId, search, scroll, correct;
    QList<double> bareShown, bareIds, bareFound, bareScroll, bareUpdate;
    QList<double> everywhere, everywhereAll, sorted, bareSorted, sortStop, searchStop;
    double firstSearch = 0;
    double longestPart = 0;
    AppHarness app(folder.path());
    for (int round = 0; round < kRounds; ++round) {
        listings::ListingsWindow* window = nullptr;
        // On a server a page not at hand is read just after the paint, then painted.
        const auto paintNow = [&] {
            window->table()->viewport()->repaint();
            QCoreApplication::processEvents();
            window->table()->viewport()->repaint();
        };
        shown.append(timed([&] {
            app.menuItem(QStringLiteral("nListings"))->trigger();
            window =
                qobject_cast<listings::ListingsWindow*>(app.window(QStringLiteral("Listings")));
            window->table()->viewport()->repaint();
        }));
        // The window answers between the parts it reads: the longest part is how long
        // a key waits at most.
        const auto readAll = [&] {
            while (!window->model().complete() || window->model().rowCount() < kRows) {
                if (!messages.shown().isEmpty())
                    qFatal("%s", qPrintable(messages.last().text));
                longestPart =
                    std::max(longestPart, timed([] { QCoreApplication::processEvents(); }));
            }
        };
        everyId.append(timed(readAll));
        if (window->model().rowCount() < kRows)
            qFatal("not every listing is in view");
        bareShown.append(timed([&] { bare.run(firstPage); }));
        bareIds.append(timed([&] {
            bare.run(QStringLiteral("SELECT %1 FROM Data ORDER BY %1 DESC").arg(bare.id()));
        }));

        auto* box = app.control<QLineEdit>(QStringLiteral("Listings"), QStringLiteral("Text1"));
        const auto searchFor = [&](const QString& text) {
            return timed([&] {
                box->setText(text);
                window->searchNow();
                awaitFinder(window);
                paintNow();
            });
        };
        std::optional<LongestStop> stop(std::in_place);
        const double searched = searchFor(needle);
        searchStop.append(stop->ms());
        (round == 0 ? firstSearch : search.emplaceBack()) = searched;
        if (round > 0) {
            bareFound.append(timed([&] { bare.run(bareSearch); }));
            double shownAt = 0;
            everywhereAll.append(timed([&] {
                shownAt = searchFor(QStringLiteral("sydney"));
                readAll();
            }));
            everywhere.append(shownAt);
        }
        box->clear();
        window->searchNow();
        readAll();

        // Sorted by a searched column, again the other way in the next round.
        stop.emplace();
        sorted.append(timed([&] {
            window->sortBy(6);
            awaitFinder(window);
            paintNow();
        }));
        sortStop.append(stop->ms());
        bareSorted.append(timed([&] {
            bare.run(QStringLiteral("SELECT %1 FROM Data ORDER BY lower(Suburb), Suburb, %1")
                         .arg(bare.id()));
        }));
        window->clearQuery();
        readAll();

        // A page down, far down the table: the rows there are read as they come into view.
        QScrollBar* bar = window->table()->verticalScrollBar();
        bar->setValue(bar->maximum() / 2 + round * 1000);
        window->table()->viewport()->repaint();
        scroll.append(timed([&] {
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            paintNow();
        }));
        bareScroll.append(timed([&] {
            bare.run(QStringLiteral("SELECT %1 FROM Data WHERE %2 < %3 ORDER BY %2 DESC LIMIT %4")
                         .arg(columns, bare.id())
                         .arg(kRows / 2 - round * 1000)
                         .arg(listings::ListingsModel::kPage));
        }));

        // One cell corrected, the row left: the correction stored and recorded.
        QTableView* table = window->table();
        table->scrollToTop();
        table->setCurrentIndex(window->model().index(0, 6));
        window->model().setData(table->currentIndex(), QStringLiteral("CORRECTED %1").arg(round),
                                Qt::EditRole);
        correct.append(timed([&] { table->setCurrentIndex(window->model().index(1, 6)); }));
        if (window->model().editedRow() >= 0)
            qFatal("the correction was not stored");
        bareUpdate.append(timed([&] {
            bare.run(QStringLiteral("UPDATE Data SET Suburb = 'BARE %1' WHERE %2 = (SELECT max(%2) "
                                    "FROM Data)")
                         .arg(round)
                         .arg(bare.id()));
        }));
        window->closeWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("Listings on %d listings, %s (median of %d rounds, search of %d)\n", kRows,
                onServer() ? "server" : "file", kRounds, kRounds - 1);
    report("window shown with its first rows", median(shown), median(bareShown),
           "bare SELECT of the first page");
    report("every identity read, count shown", median(everyId), median(bareIds),
           "bare SELECT of every identity");
    std::printf("  longest part read while the window answers between parts: %.1f ms\n",
                longestPart);
    report("search (matches and first page shown)", median(search), median(bareFound),
           "bare SELECT ... LIKE, first page");
    std::printf("  first search of the run: %.1f ms\n", firstSearch);
    std::printf("  a search every listing matches: first rows shown %.1f ms, all counted %.1f ms\n",
                median(everywhere), median(everywhereAll));
    std::printf("  longest stop of the window during a search: %.1f ms\n", median(searchStop));
    report("sort by Suburb (every identity, first rows)", median(sorted), median(bareSorted),
           "bare SELECT ... ORDER BY Suburb");
    std::printf("  longest stop of the window during the sort: %.1f ms\n", median(sortStop));
    report("one page down in the middle", median(scroll), median(bareScroll),
           "bare SELECT of that page");
    report("one correction stored (row left)", median(correct), median(bareUpdate),
           "bare UPDATE of one row");
    if (!onServer())
        fileOnly(app, folder, bare, needle, messages);
    return 0;
}

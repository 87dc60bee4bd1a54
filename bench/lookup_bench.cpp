// The street editor on a table of 100,000 rows: opening it, one "&Update" with its
// refill of the list, and the search after one typed key. Opening and updating are
// set against a bare SELECT of the same rows through SQLite's own interface, the search against
// a bare scan of the same entries, all measured in this run. Prints medians. With
// PELMAR_TEST_ENGINE=server the table lies on the test server, and the bare SELECT
// goes through libpq.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>

#include "db/connection.h"
#include "db/serversession.h"
#include "median.h"
#include "shell/desk.h"
#include "support/appharness.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

namespace {

constexpr int kRows = 100000;

template <class Fn>
double timeMs(Fn fn) {
    QElapsedTimer timer;
    timer.start();
    fn();
    return timer.nsecsElapsed() / 1e6;
}

// Names spread over the alphabet, so that a typed letter selects an entry far down
// the list as often as near its top.
void fillStreets(const TestFolder& folder) {
    if (!folder.server().isEmpty()) {
        folder.exec(QStringLiteral("insert into Street select format('%s%s STREET %s', "
                                   "chr(65 + (i * 7) % 26), chr(65 + (i * 11) % 26), "
                                   "lpad(i::text, 6, '0')) from generate_series(0, %1) as i")
                        .arg(kRows - 1));
        return;
    }
    folder.exec(
        QStringLiteral("insert into Street with recursive n(i) as (select 0 union all select i + 1 "
                       "from n where i < %1) select printf('%c%c STREET %06d', 65 + (i * 7) % 26, "
                       "65 + (i * 11) % 26, i) from n")
            .arg(kRows - 1));
}

QStringList bareSelect(db::Connection& connection) {
    QStringList values;
    for (const QStringList& row :
         connection.select(QStringLiteral("SELECT StreetName FROM Street")))
        values.append(row.value(0));
    return values;
}

int bareScan(const QStringList& entries, const QString& text) {
    for (int row = 0; row < entries.size(); ++row) {
        if (entries.at(row).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void closeEditor(AppHarness& app) {
    app.window(QStringLiteral("Street"))->closeWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TestFolder folder;
    fillStreets(folder);
    ScriptedMessages messages;
    AppHarness app(folder.path());

    const int rounds = 7;
    QList<double> select, open;
    // A connection of the benchmark's own beside the program's, on the same database.
    db::Connection connection;
    if (folder.server().isEmpty())
        connection.openFile(folder.dbPath());
    else
        connection.openServer(folder.server());
    bareSelect(connection);
    for (int i = 0; i < rounds; ++i) {
        select.append(timeMs([&] { bareSelect(connection); }));
        open.append(timeMs([&] { app.choose(QStringLiteral("mStreet")); }));
        if (i + 1 < rounds)
            closeEditor(app);
    }
    auto* text1 = app.control<QLineEdit>(QStringLiteral("Street"), QStringLiteral("Text1(0)"));
    auto* update =
        app.control<QPushButton>(QStringLiteral("Street"), QStringLiteral("Command1(1)"));
    auto* list1 = app.control<QListWidget>(QStringLiteral("Street"), QStringLiteral("List1"));
    if (list1->count() != kRows)
        qFatal("the list holds %d entries", int(list1->count()));

    QList<double> inserts, updates;
    for (int i = 0; i < rounds; ++i) {
        text1->setText(QStringLiteral("NEW STREET %1").arg(i));
        inserts.append(timeMs([&] { QTest::mouseClick(update, Qt::LeftButton); }));
        updates.append(timeMs([&] { QTest::mouseClick(update, Qt::LeftButton); }));
    }
    if (!messages.texts().contains(QStringLiteral("Rcord Successfully Updated")))
        qFatal("no update ran");

    // One key typed into an empty box, for every letter and for one that no entry
    // begins with (the whole list is searched).
    const QStringList entries = bareSelect(connection);
    QList<double> keys, scans;
    QString keysTyped = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ#");
    for (const QChar key : keysTyped) {
        text1->clear();
        keys.append(timeMs([&] { QTest::keyClick(text1, key.toLatin1()); }));
        scans.append(timeMs([&] { bareScan(entries, QString(key)); }));
    }
    const double worstKey = *std::max_element(keys.begin(), keys.end());

    const double s = median(select), o = median(open), in = median(inserts), up = median(updates);
    const double k = median(keys), sc = median(scans);
    std::printf("street editor with %d rows (medians of %d rounds)\n", kRows, rounds);
    std::printf("  bare SELECT of the rows:                %8.1f ms  (reference)\n", s);
    std::printf(
        "  open the editor from the menu:           %8.1f ms  ratio %.1f  (target < 1000 ms)\n", o,
        o / s);
    std::printf(
        "  Update, new value (insert + refill):     %8.1f ms  ratio %.1f  (target < 1000 ms)\n", in,
        in / s);
    std::printf(
        "  Update, stored value (update + refill):  %8.1f ms  ratio %.1f  (target < 1000 ms)\n", up,
        up / s);
    std::printf("search after one typed key (median of %d keys)\n", int(keysTyped.size()));
    std::printf("  bare scan of the entries:                %8.3f ms  (reference)\n", sc);
    std::printf(
        "  key typed, search and selection:         %8.3f ms  ratio %.1f  (target < 16 ms)\n", k,
        k / sc);
    std::printf("  slowest key:                             %8.3f ms\n", worstKey);
    return 0;
}

// From the Submit of the details window to the first window shown again, on a Data
// table that already holds 100,000 rows, against the bare INSERT of the same
// statement through SQLite's own interface on the same file, measured in the same run. Prints
// medians and their ratio. With PELMAR_TEST_ENGINE=server the table lies on the
// test server, and the bare INSERT goes through libpq.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "db/connection.h"
#include "db/listing.h"
#include "db/serversession.h"
#include "db/statementtext.h"
#include "entry/listinginsert.h"
#include "median.h"
#include "shell/controltable.h"
#include "support/appharness.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

namespace {

constexpr int kRows = 100000;
constexpr int kRounds = 41;

void fillData(const TestFolder& folder) {
    QStringList columns;
    for (int k = 0; k < db::kColumnCount; ++k)
        columns.append(k >= 42 && k <= 60
                           ? QStringLiteral("'0'")
                           : QStringLiteral("'listing ' || i || ' value %1'").arg(k));
    folder.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < %1) INSERT INTO Data SELECT %2 FROM n")
                    .arg(kRows)
                    .arg(columns.join(QStringLiteral(", "))));
}

void setText(shell::ChildWindow* window, const QString& name, const QString& text) {
    QWidget* control = window->controls().widget(name);
    if (auto* line = qobject_cast<QLineEdit*>(control))
        line->setText(text);
    else if (auto* box = qobject_cast<QComboBox*>(control))
        box->setEditText(text);
    else if (auto* area = qobject_cast<QPlainTextEdit*>(control))
        area->setPlainText(text);
}

void submit(shell::ChildWindow* window) {
    window->controls().get<QAbstractButton>(QStringLiteral("Command1"))->click();
    QCoreApplication::processEvents();
}

// Through the first two windows, and every field of the details window filled, so
// that no question comes.
shell::ChildWindow* fillListing(AppHarness& app, int round) {
    const QString value = QStringLiteral("round %1").arg(round);
    app.choose(QStringLiteral("nDe"));
    shell::ChildWindow* part1 = app.window(QStringLiteral("Part1"));
    for (const char* name : {"Combo1", "Combo2", "Text1"})
        setText(part1, QLatin1String(name), value);
    submit(part1);
    shell::ChildWindow* part2 = app.window(QStringLiteral("Part2"));
    for (const char* name : {"Combo1", "Combo2", "Combo3"})
        setText(part2, QLatin1String(name), value);
    for (int i = 0; i <= 5; ++i)
        setText(part2, shell::element(QStringLiteral("Text1"), i), value);
    submit(part2);
    shell::ChildWindow* part3 = app.window(QStringLiteral("Part3"));
    for (const char* name : {"Combo1", "Combo2"})
        setText(part3, QLatin1String(name), value);
    for (int i = 0; i <= 41; ++i)
        setText(part3, shell::element(QStringLiteral("Text1"), i), value);
    return part3;
}

double timeSubmit(AppHarness& app, int round) {
    shell::ChildWindow* part3 = fillListing(app, round);
    QElapsedTimer timer;
    timer.start();
    submit(part3);
    if (!app.window(QStringLiteral("Part1")) || app.window(QStringLiteral("Part3")))
        qFatal("the listing was not inserted");
    return timer.nsecsElapsed() / 1e6;
}

// The bare INSERT of the statement text, with no store around it: SQLite's own
// interface on the file, libpq on a server.
struct BareDatabase {
    explicit BareDatabase(const TestFolder& folder) {
        if (folder.server().isEmpty())
            connection.openFile(folder.dbPath());
        else
            connection.openServer(folder.server());
    }
    void exec(const QString& statement) { connection.execute(statement); }
    db::Connection connection;
};

double timeBareInsert(BareDatabase& database, int round) {
    const QString statement =
        db::insertText(QStringList(db::kColumnCount, QStringLiteral("bare %1").arg(round)));
    QElapsedTimer timer;
    timer.start();
    database.exec(statement);
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TestFolder folder;
    folder.exec(QStringLiteral("INSERT INTO State VALUES ('NSW')"));
    folder.exec(QStringLiteral("INSERT INTO PubName VALUES ('Herald', 'NSW')"));
    fillData(folder);

    QList<double> program, bare;
    {
        ScriptedMessages messages;
        AppHarness app(folder.path());
        BareDatabase database(folder);
        // Warm-up: the pictures, fonts and the statement paths once each.
        timeSubmit(app, -1);
        timeBareInsert(database, -1);
        for (int round = 0; round < kRounds; ++round) {
            program.append(timeSubmit(app, round));
            bare.append(timeBareInsert(database, round));
        }
    }
    const double p = median(program), b = median(bare);
    std::printf("listing submit on a Data table of %d rows (median of %d rounds)\n", kRows,
                kRounds);
    std::printf("  Submit of Part3 to Part1 shown again:  %.2f ms  (target < 50 ms)\n", p);
    std::printf("  bare INSERT through %s:          %.2f ms  ratio %.2f\n",
                folder.server().isEmpty() ? "SQLite   " : "libpq    ", b, p / b);
    return 0;
}

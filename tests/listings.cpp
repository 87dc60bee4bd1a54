// The window "Listings" on a real database: what a search finds and what its export
// writes, a correction stored and recorded, Escape undoing it, a correction or
// deletion refused when another desk changed the row first, and a deletion recorded.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <optional>

#include "db/corrections.h"
#include "db/schema.h"
#include "db/serversession.h"
#include "db/sqlitedb.h"
#include "export/exportcommand.h"
#include "export/exportprogress.h"
#include "listings/listingform.h"
#include "listings/listingswindow.h"
#include "support/appharness.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"
#include "support/testproxy.h"
#include "support/testserver.h"

QString workbookProblems(const QString& workbook, const QStringList& expected, bool ssconvert);

using listings::ListingsModel;
using listings::ListingsWindow;

namespace {

// Three listings, stored in this order; each value names its column unless given.
QString listing(const QHash<int, QString>& values) {
    QStringList literals;
    for (int k = 0; k < int(db::schema::dataColumns().size()); ++k)
        literals.append(QStringLiteral("'%1'").arg(values.value(k, QStringLiteral("v%1").arg(k))));
    return QStringLiteral("INSERT INTO Data VALUES (%1)").arg(literals.join(QLatin1Char(',')));
}

void fill(const TestFolder& folder) {
    folder.exec(listing({{0, "NSW"}, {5, "3 GEORGE"}, {6, "Parramatta"}, {64, "O''Brien"}}));
    folder.exec(listing({{0, "VIC"}, {5, "COLLINS"}, {6, "Carlton"}, {61, "near george st"}}));
    folder.exec(
        listing({{0, "NSW"}, {1, "Herald 50%"}, {2, "01/05/24"}, {6, "Manly"}, {72, "Smith"}}));
}

struct Session {
    explicit Session(const TestFolder& folder) : app(folder.path()) {
        app.choose(QStringLiteral("nListings"));
        window = qobject_cast<ListingsWindow*>(app.window(QStringLiteral("Listings")));
        QCoreApplication::processEvents();  // every identity after the first screen
    }
    QTableView* table() const { return window->table(); }
    // A row's cell, read now if its page is not at hand (the view reads it soon).
    QString cell(int row, int column) const {
        return window->model().shownValues(row).value(column);
    }
    // Types over a cell as the operator does: F2, the new text, and Enter (Tab from a
    // box of several lines), unless the cell is to stay open.
    void edit(int row, int column, const QString& text, bool close = true) {
        table()->setCurrentIndex(window->model().index(row, column));
        QTest::keyClick(table(), Qt::Key_F2);
        QWidget* editor = table()->indexWidget(table()->currentIndex());
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->selectAll();
            line->insert(text);
        } else if (auto* lines = qobject_cast<QPlainTextEdit*>(editor)) {
            lines->selectAll();
            lines->insertPlainText(text);
        } else {
            QFAIL("no cell editor");
        }
        if (!close)
            return;
        QTest::keyClick(editor, qobject_cast<QLineEdit*>(editor) ? Qt::Key_Return : Qt::Key_Tab);
        QCoreApplication::processEvents();  // the editor hands its text over, then closes
    }
    void leaveRow() { QTest::keyClick(table(), Qt::Key_Down); }
    // Makes the export's dialog answer with the file, or give up for an empty name;
    // gives the folders it was opened in.
    void answerExport(const QString& path) {
        window->exportTarget().setChooser(
            [this, path](QWidget*, const QString& folder) -> std::optional<listings::ExportFile> {
                askedIn.append(folder);
                if (path.isEmpty())
                    return std::nullopt;
                return listings::ExportFile{path, sheets::formatFor(path)};
            });
    }
    // What the checker is to find in an exported file: the rows the table shows.
    QString shownRows(const QString& path) const {
        QJsonArray rows;
        for (int row = 0; row < window->model().rowCount(); ++row) {
            QJsonArray values;
            for (const QString& value : window->model().shownValues(row))
                values.append(value.isNull()
                                  ? QJsonValue()
                                  : QJsonValue(QString::fromLatin1(value.toUtf8().toHex())));
            rows.append(values);
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(QJsonDocument(QJsonObject{{"header", QJsonArray::fromStringList(
                                                            db::schema::dataColumns())},
                                             {"rows", rows},
                                             {"rows_per_sheet", 65535}})
                       .toJson());
        return path;
    }
    QString state() const {
        return app.control<QLabel>(QStringLiteral("Listings"), QStringLiteral("Label3"))->text();
    }

    QStringList askedIn;

    ScriptedMessages messages;
    AppHarness app;
    ListingsWindow* window = nullptr;
};

QStringList corrections(const TestFolder& folder) {
    return folder.column(
        QStringLiteral("SELECT Change || ':' || coalesce(ValuesAfter, '-') FROM Corrections"));
}

}  // namespace

class TestListings : public QObject {
    Q_OBJECT
private slots:
    void readInParts_data();
    void readInParts();
    void search_data();
    void search();
    void correct_data();
    void correct();
    void refused_data();
    void refused();
    void operatorRights_data();
    void operatorRights();
    void exportOutcome_data();
    void exportOutcome();
    void searchTypedWhileTheServerStalls();
    void exportWhileReading();
    void waitsCancelled();
    void answerLostOrCancelled_data();
    void answerLostOrCancelled();
    void numberNeverGivenTwice();
    void onlyChangedCellsWritten_data();
    void tableKeys_data();
    void tableKeys();
    void onlyChangedCellsWritten();
};

void TestListings::readInParts_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("search");  // typed once the window is open, or none
    const int parts = ListingsModel::kPage + ListingsModel::kIdentitiesRead + 1;
    QTest::newRow("none") << 0 << "";
    QTest::newRow("the first screen") << ListingsModel::kPage << "";
    QTest::newRow("in parts") << parts << "";
    QTest::newRow("a search in parts") << parts << "nsw";
}

void TestListings::readInParts() {
    QFETCH(int, rows);
    QFETCH(QString, search);
    TestFolder folder;
    folder.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < %1) INSERT INTO Data (ListingState, UnitNo) "
                               "SELECT 'NSW', CAST(i AS TEXT) FROM n")
                    .arg(rows));
    if (rows == 0)
        folder.exec(QStringLiteral("DELETE FROM Data"));
    Session session(folder);
    if (!search.isEmpty()) {
        QTest::keyClicks(
            session.app.control<QLineEdit>(QStringLiteral("Listings"), QStringLiteral("Text1")),
            search);
        session.window->searchNow();
    }
    auto* state = session.app.control<QLabel>(QStringLiteral("Listings"), QStringLiteral("Label3"));
    QTRY_VERIFY2(state->text().startsWith(QLocale().toString(rows) + QStringLiteral(" listing")),
                 qPrintable(state->text()));
    QCOMPARE(session.window->model().rowCount(), rows);
    // Newest first, each once: the last row is the first stored.
    if (rows > 0) {
        QCOMPARE(session.cell(0, 3), QString::number(rows));
        QCOMPARE(session.cell(rows - 1, 3), QStringLiteral("1"));
    }
}

void TestListings::search_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filterOn");  // filter by the State of this suburb's listing
    QTest::addColumn<int>("sortBy");        // a column, sorted by (-1: newest first)
    QTest::addColumn<int>("clicks");        // 2: the other way
    QTest::addColumn<QStringList>("suburbs");
    QTest::addColumn<bool>("indexed");      // false: a database made before the index
    QTest::addColumn<QString>("exportTo");  // the file "Export…" then writes, if any
    const QString none;
    QTest::newRow("everything") << "" << none << -1 << 0
                                << QStringList{"Hobart", "Noosa", "Manly", "Carlton", "Parramatta"}
                                << true << "all.csv";
    QTest::newRow("state, case ignored")
        << "nsw" << none << -1 << 0 << QStringList{"Manly", "Parramatta"} << true << "found.xlsx";
    QTest::newRow("street name") << "george" << none << -1 << 0 << QStringList{"Parramatta"} << true
                                 << "found.XLS";
    QTest::newRow("an agent's name with a quote")
        << "o'bri" << none << -1 << 0 << QStringList{"Parramatta"} << true << "";
    QTest::newRow("surname") << "SMITH" << none << -1 << 0 << QStringList{"Manly"} << true << "";
    QTest::newRow("a wildcard taken as it stands")
        << "50%" << none << -1 << 0 << QStringList{"Manly"} << true << "";
    QTest::newRow("no wildcard") << "_" << none << -1 << 0 << QStringList{} << true << "";
    QTest::newRow("no escape") << "50\\" << none << -1 << 0 << QStringList{} << true << "";
    QTest::newRow("blanks around")
        << "  carl " << none << -1 << 0 << QStringList{"Carlton"} << true << "";
    QTest::newRow("nothing") << "zzz" << none << -1 << 0 << QStringList{} << true << "none.xlsx";
    QTest::newRow("no index") << "george" << none << -1 << 0 << QStringList{"Parramatta"} << false
                              << "";
    // Accents and letter case left out, composed or decomposed, in every script.
    QTest::newRow("accents ignored")
        << "emile" << none << -1 << 0 << QStringList{"Hobart", "Noosa"} << true << "";
    QTest::newRow("accents typed") << QStringLiteral("NOËL") << none << -1 << 0
                                   << QStringList{"Hobart", "Noosa"} << true << "";
    QTest::newRow("accents, no index") << QStringLiteral("Émile") << none << -1 << 0
                                       << QStringList{"Hobart", "Noosa"} << false << "";
    QTest::newRow("Greek, final sigma")
        << QStringLiteral("σοφος") << none << -1 << 0 << QStringList{"Hobart"} << true << "";
    // Texts that once ended up inside the statement: each is only a value.
    QTest::newRow("a date") << "01/05/24" << none << -1 << 0 << QStringList{"Manly"} << true << "";
    QTest::newRow("a number and a street")
        << "3 george" << none << -1 << 0 << QStringList{"Parramatta"} << true << "";
    QTest::newRow("a percentage") << "100%" << none << -1 << 0 << QStringList{} << true << "";
    // Sorted: ties by number, the same way; accents and case left out, then the text.
    QTest::newRow("sorted by suburb")
        << "" << none << 6 << 1 << QStringList{"Carlton", "Hobart", "Manly", "Noosa", "Parramatta"}
        << true << "sorted.xlsx";
    QTest::newRow("sorted by state, the other way")
        << "" << none << 0 << 2 << QStringList{"Carlton", "Hobart", "Noosa", "Manly", "Parramatta"}
        << true << "";
    QTest::newRow("sorted by an accented name")
        << "" << none << 63 << 1 << QStringList{"Hobart", "Noosa", "Parramatta", "Carlton", "Manly"}
        << true << "";
    QTest::newRow("filtered") << ""
                              << "Manly" << -1 << 0 << QStringList{"Manly", "Parramatta"} << true
                              << "filtered.csv";
    QTest::newRow("filtered, searched and sorted")
        << "o'bri"
        << "Manly" << 6 << 2 << QStringList{"Parramatta"} << false << "";
}

void TestListings::search() {
    QFETCH(QString, text);
    QFETCH(QString, filterOn);
    QFETCH(int, sortBy);
    QFETCH(int, clicks);
    QFETCH(QStringList, suburbs);
    QFETCH(bool, indexed);
    QFETCH(QString, exportTo);
    TestFolder folder;
    fill(folder);
    folder.exec(listing({{0, "QLD"}, {6, "Noosa"}, {63, "ÉMILE"}, {64, "Noël"}}));
    folder.exec(listing(
        {{0, "TAS"}, {6, "Hobart"}, {63, "e\u0301mile"}, {64, "NOE\u0308L"}, {68, "ΣΟΦΟΣ"}}));
    if (!indexed)
        folder.exec(
            QStringLiteral("DROP INDEX IF EXISTS ListingsSearch; "
                           "DROP INDEX IF EXISTS ListingsSearchFolded"));
    Session session(folder);
    auto* box = session.app.control<QLineEdit>(QStringLiteral("Listings"), QStringLiteral("Text1"));
    // QTest types Latin-1 alone; an input method hands the box other characters whole.
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xff; }))
        box->insert(text);
    else
        QTest::keyClicks(box, text);
    auto& model = session.window->model();
    if (!filterOn.isEmpty()) {
        for (int row = 0; row < model.rowCount(); ++row) {
            if (session.cell(row, 6) == filterOn)
                session.table()->setCurrentIndex(model.index(row, 0));
        }
        QTest::mouseClick(session.app.control<QPushButton>(QStringLiteral("Listings"),
                                                           QStringLiteral("Command7")),
                          Qt::LeftButton);
    }
    QHeaderView* header = session.table()->horizontalHeader();
    for (int click = 0; click < clicks; ++click) {
        QTRY_VERIFY(!model.finding());
        // The heading where it is in view, else the key on a cell of the column.
        const int x = header->sectionViewportPosition(sortBy);
        if (x >= 0 && x + header->sectionSize(sortBy) < header->viewport()->width()) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(x + header->sectionSize(sortBy) / 2, 5));
        } else {
            session.table()->setCurrentIndex(model.index(0, sortBy));
            QTest::keyClick(session.table(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        }
    }
    QTRY_VERIFY(model.search() == text.trimmed() && model.query().sortColumn == sortBy &&
                !model.finding());
    // What the view shows; a server's page is read just after the view asks for it.
    if (!suburbs.isEmpty())
        QTRY_COMPARE(model.index(0, 6).data().toString(), suburbs.first());
    QStringList found;
    for (int row = 0; row < model.rowCount(); ++row)
        found.append(session.cell(row, 6));
    QCOMPARE(found, suburbs);
    // A file made before the index gets it, made on a thread of the window's own.
    if (folder.server().isEmpty())
        QTRY_COMPARE(folder.column(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                                  "name = 'ListingsSearch'")),
                     QStringList{QStringLiteral("1")});
    auto* state = session.app.control<QLabel>(QStringLiteral("Listings"), QStringLiteral("Label3"));
    QVERIFY2(state->text().startsWith(QString::number(suburbs.size()) + QLatin1Char(' ')),
             qPrintable(state->text()));
    QCOMPARE(box->accessibleDescription(), state->text());  // the focused control tells it
    if (!exportTo.isEmpty()) {
        // The file holds what the table shows, in its order, as readers not ours see it.
        const QString path = folder.file(exportTo);
        session.answerExport(path);
        QTest::mouseClick(session.app.control<QPushButton>(QStringLiteral("Listings"),
                                                           QStringLiteral("Command3")),
                          Qt::LeftButton);
        QCOMPARE(QFile::exists(path), !suburbs.isEmpty());
        if (suburbs.isEmpty()) {
            QCOMPARE(session.messages.shown().size(), 1);  // nothing to export, and no dialog
            QVERIFY(session.askedIn.isEmpty());
        } else {
            const QString problems = workbookProblems(
                path, {QStringLiteral("--written"), session.shownRows(folder.file("rows.json"))},
                false);
            QVERIFY2(problems.isEmpty(), qPrintable(problems));
            QVERIFY2(session.state().contains(QStringLiteral(" exported to ") + exportTo),
                     qPrintable(session.state()));
        }
    }
    // "Clear" shows every listing again, newest first.
    QTest::mouseClick(
        session.app.control<QPushButton>(QStringLiteral("Listings"), QStringLiteral("Command8")),
        Qt::LeftButton);
    QTRY_VERIFY(model.query().isPlain() && !model.finding());
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(session.cell(0, 6), QStringLiteral("Hobart"));
}

void TestListings::correct_data() {
    QTest::addColumn<QString>("first");  // done to the database before the window opens
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("undo");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("messages");
    QTest::addColumn<QString>("leave");  // how the row is left: "row", or the window closed
    const QString none;
    // As the entry windows take them: a NUL dropped, half a surrogate pair U+FFFD.
    QTest::newRow("a NUL and half a pair")
        << none << QStringLiteral("Fitz\u0000roy\xD800") << false << QStringLiteral("Fitzroy\uFFFD")
        << QStringLiteral("Fitzroy\uFFFD") << 0 << "row";
    QTest::newRow("quotes") << none << "O'Neil \"Jr\"" << false << "O'Neil \"Jr\""
                            << "O'Neil \"Jr\"" << 0 << "row";
    QTest::newRow("emoji, trimmed") << none << "  Café 🏠 " << false << "Café 🏠"
                                    << "Café 🏠" << 0 << "row";
    // Written with QStringLiteral: a plain string would go through fromUtf8, which drops it.
    const QString marked = QStringLiteral("\uFEFFBondi");
    QTest::newRow("a leading U+FEFF") << none << marked << false << marked << marked << 0 << "row";
    QTest::newRow("empty") << none << "   " << false << "x"
                           << "x" << 0 << "row";
    QTest::newRow("undone by Escape") << none << "WRONG" << true << "Carlton"
                                      << "Carlton" << 0 << "row";
    // A database made before Corrections: the first correction makes it, and says so.
    QTest::newRow("older database")
        << "DROP TABLE Corrections; DROP INDEX IF EXISTS ListingsSearch; "
           "DROP INDEX IF EXISTS ListingsSearchFolded"
        << "Fitzroy" << false << "Fitzroy"
        << "Fitzroy" << 1 << "row";
    // The record cannot be written: nothing is, and the typing stays in the row.
    QTest::newRow("failed") << "DROP TABLE Corrections; CREATE VIEW Corrections AS SELECT 1 AS a"
                            << "Fitzroy" << false << "Carlton"
                            << "Fitzroy" << 1 << "row";
    // The close box stores the row as leaving it does; a failed store keeps the window.
    QTest::newRow("close box") << none << "Fitzroy" << false << "Fitzroy"
                               << "Fitzroy" << 0 << "close box";
    QTest::newRow("close box, failed")
        << "DROP TABLE Corrections; CREATE VIEW Corrections AS SELECT 1 AS a"
        << "Fitzroy" << false << "Carlton"
        << "Fitzroy" << 1 << "close box";
    // Every way out stores the correction first, a cell still open included.
    QTest::newRow("Exit") << none << "Fitzroy" << false << "Fitzroy"
                          << "Fitzroy" << 0 << "Exit";
    QTest::newRow("Back Main Menu, the cell open") << none << "Fitzroy" << false << "Fitzroy"
                                                   << "Fitzroy" << 0 << "Back Main Menu";
    QTest::newRow("a text longer than a line edit takes")
        << none << QString(40000, QLatin1Char('L')) << false << QString(40000, QLatin1Char('L'))
        << QString(40000, QLatin1Char('L')) << 0 << "row";
}

void TestListings::correct() {
    QFETCH(QString, first);
    QFETCH(QString, typed);
    QFETCH(bool, undo);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    QFETCH(QString, leave);
    const bool closeBox = leave == QLatin1String("close box");
    TestFolder folder;
    fill(folder);
    for (const QString& statement : first.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        folder.exec(statement);
    Session session(folder);
    session.edit(1, 6, typed, leave != QLatin1String("Back Main Menu"));
    if (undo)
        QTest::keyClick(session.table(), Qt::Key_Escape);
    if (closeBox)
        qobject_cast<QMdiSubWindow*>(session.window->parentWidget())->close();
    else if (leave == QLatin1String("Exit"))
        session.app.choose(QStringLiteral("nEx"));
    else if (leave == QLatin1String("Back Main Menu"))
        session.app.control<QPushButton>(QStringLiteral("Listings"), QStringLiteral("Command2"))
            ->click();  // as an accessibility client presses it: the focus stays in the cell
    else
        session.leaveRow();
    QCoreApplication::processEvents();
    if (leave == QLatin1String("row") || (closeBox && stored != typed))
        QCOMPARE(session.cell(1, 6), shown);
    QCOMPARE(folder.column(QStringLiteral("SELECT Suburb FROM Data WHERE ListingState = 'VIC'")),
             QStringList{stored});
    QCOMPARE(session.messages.shown().size(), messages);
    if (stored != typed.trimmed() && stored != QLatin1String("x"))
        return;
    // The values after, in column order, hold the value exactly as stored.
    const QString json = QString::fromUtf8(
        QJsonDocument(QJsonArray{"VIC", "v1", "v2", "v3", "v4", "COLLINS", stored, "v7"})
            .toJson(QJsonDocument::Compact));
    const QStringList recorded = corrections(folder);
    QCOMPARE(recorded.size(), 1);
    QVERIFY2(recorded.first().startsWith(QStringLiteral("corrected:") + json.chopped(1)),
             qPrintable(recorded.first()));
}

void TestListings::onlyChangedCellsWritten_data() {
    QTest::addColumn<QString>("first");    // what another tool put in the row
    QTest::addColumn<QString>("typed");    // into Suburb; nothing: opened and left as it was
    QTest::addColumn<QString>("others");   // UnitNo|StreetNo|Agent3Phone|length(Suburb) after
    QTest::addColumn<QString>("history");  // in what Corrections holds; nothing: no record
    QTest::newRow("NULL, empty and blanks beside")
        << "UPDATE Data SET UnitNo = NULL, StreetNo = '', Agent3Phone = ' 0400 ' WHERE "
           "ListingState = 'VIC'"
        << "Fitzroy"
        << "<null>|| 0400 |7|null"
        << "\"v2\",null,\"\",\"COLLINS\",\"Fitzroy\"";
    // A file that another program wrote: a BLOB, bytes that are no UTF-8, a NUL.
    const QString odd = QStringLiteral(
        "UPDATE Data SET UnitNo = x'4142', StreetNo = "
        "CAST(x'41ff' AS TEXT), Agent3Phone = 'a' || char(0) || "
        "'b' WHERE ListingState = 'VIC'");
    const QString oddAfter = QStringLiteral("AB|A") + QChar(0xdcff) + QStringLiteral("|a") +
                             QChar(0) + QStringLiteral("b|%1|blob");
    QTest::newRow("a BLOB, no UTF-8 and a NUL beside")
        << odd << "Fitzroy" << oddAfter.arg(7) << "\"Fitzroy\"";
    QTest::newRow("the same row deleted") << odd << "<delete>"
                                          << ""
                                          << "deleted";
    QTest::newRow("a long cell opened and left")
        << QStringLiteral("UPDATE Data SET Suburb = '%1' WHERE ListingState = 'VIC'")
               .arg(QString(40000, QLatin1Char('a')))
        << ""
        << "v3|v4|v73|40000|text"
        << "";
}

void TestListings::onlyChangedCellsWritten() {
    QFETCH(QString, first);
    QFETCH(QString, typed);
    QFETCH(QString, others);
    QFETCH(QString, history);
    TestFolder folder;
    if (!folder.server().isEmpty() && first.contains(QLatin1String("x'")))
        QSKIP("a server's texts are always UTF-8, without NUL");
    fill(folder);
    folder.exec(first);
    Session session(folder);
    // The BLOB is told as such in its cell; below, it is stored as it was.
    if (first.contains(QLatin1String("x'4142'")))
        QCOMPARE(session.window->model().index(1, 3).data().toString(),
                 QStringLiteral("[binary data, 2 bytes]"));
    if (typed == QLatin1String("<delete>")) {
        session.table()->setCurrentIndex(session.window->model().index(1, 6));
        session.messages.answer({shell::Answer::Yes});
        session.window->deleteCurrent();
        session.messages.clear();
    } else if (typed.isEmpty()) {
        session.table()->setCurrentIndex(session.window->model().index(1, 6));
        QTest::keyClick(session.table(), Qt::Key_F2);
        QWidget* editor = session.table()->indexWidget(session.table()->currentIndex());
        QVERIFY(qobject_cast<QPlainTextEdit*>(editor));
        QCOMPARE(editor->accessibleName(), QStringLiteral("Suburb"));
        QTest::keyClick(editor, Qt::Key_Tab);
    } else {
        session.edit(1, 6, typed);
    }
    session.leaveRow();
    QCOMPARE(session.messages.texts(), QStringList());
    // The file also tells how UnitNo is stored: its type stays as it was.
    const bool file = folder.server().isEmpty();
    QCOMPARE(folder.column(QStringLiteral("SELECT coalesce(UnitNo, '<null>') || '|' || StreetNo "
                                          "|| '|' || Agent3Phone || '|' || length(Suburb)%1 FROM "
                                          "Data WHERE ListingState = 'VIC'")
                               .arg(file ? " || '|' || typeof(UnitNo)" : "")),
             others.isEmpty()
                 ? QStringList()
                 : QStringList{file ? others : others.section(QLatin1Char('|'), 0, 3)});
    const QStringList recorded = corrections(folder);
    QCOMPARE(recorded.size(), history.isEmpty() ? 0 : 1);
    if (!history.isEmpty())
        QVERIFY2(recorded.first().contains(history), qPrintable(recorded.first()));
}

void TestListings::tableKeys_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("clipboard");  // before the key; afterwards, for a copy
    QTest::addColumn<QString>("suburbs");    // the table's suburbs afterwards
    QTest::addColumn<int>("current");        // the row chosen afterwards
    QTest::newRow("Ctrl+C copies a block") << "Ctrl+C"
                                           << "\tv5\t\"Man\"\"ly\"\nv4\tCOLLINS\tCarlton\n"
                                           << "Man\"ly Carlton Parramatta" << 1;
    QTest::newRow("Ctrl+V pastes one value") << "Ctrl+V"
                                             << "Fitzroy\r\n"
                                             << "Manly Fitzroy Parramatta" << 1;
    QTest::newRow("F5 brings in another desk's listing") << "F5"
                                                         << ""
                                                         << "Bondi Manly Carlton Parramatta" << 2;
    const QString told = QStringLiteral("Suburb from \u201cCarlton\u201d to \u201cFitzroy\u201d.");
    QTest::newRow("History… tells a correction")
        << "History" << told << "Manly Fitzroy Parramatta" << 1;
    QTest::newRow("History… undoes it")
        << "History, undo" << told << "Manly Carlton Parramatta" << 1;
    QTest::newRow("History… refuses to undo after another's")
        << "History, undo refused" << told << "Manly Bondi Parramatta" << 1;
    QTest::newRow("Form corrects, Next stores") << "Form"
                                                << "Parramatta"
                                                << "Manly Fitzroy Parramatta" << 2;
    QTest::newRow("going to a listing by its number") << "Go to"
                                                      << ""
                                                      << "Manly Carlton Parramatta" << 2;
    QTest::newRow("going to a deleted listing restores it, once")
        << "Go to deleted"
        << ""
        << "Manly Carlton Parramatta" << 1;
    QTest::newRow("Ctrl+Tab leaves the table") << "Ctrl+Tab"
                                               << ""
                                               << "Manly Carlton Parramatta" << 1;
}

void TestListings::tableKeys() {
    QFETCH(QString, key);
    QFETCH(QString, clipboard);
    QFETCH(QString, suburbs);
    QFETCH(int, current);
    TestFolder folder;
    fill(folder);
    if (key == QLatin1String("Ctrl+C"))
        folder.exec(
            QStringLiteral("UPDATE Data SET StreetNo = '', PropertyStreet = 'v5', Suburb = "
                           "'Man\"ly' WHERE Suburb = 'Manly'"));
    Session session(folder);
    QTableView* table = session.table();
    table->setFocus();
    table->setCurrentIndex(session.window->model().index(1, 6));
    if (key == QLatin1String("Ctrl+C")) {
        // Rows 1 and 2 (newest first), StreetNo to Suburb.
        table->selectionModel()->select(QItemSelection(session.window->model().index(0, 4),
                                                       session.window->model().index(1, 6)),
                                        QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    } else if (key == QLatin1String("Ctrl+V")) {
        QGuiApplication::clipboard()->setText(clipboard);
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(table, Qt::Key_F5);  // stores the pasted value first
    } else if (key.startsWith(QLatin1String("History"))) {
        // "History, undo": Yes to the question; "History, undo refused": another desk
        // corrected the listing after this desk did.
        session.edit(1, 6, QStringLiteral("Fitzroy"));
        session.leaveRow();
        if (key.endsWith(QLatin1String("refused")))
            folder.exec(
                QStringLiteral("UPDATE Data SET Suburb = 'Bondi' WHERE Suburb = 'Fitzroy'"));
        table->setCurrentIndex(session.window->model().index(1, 6));
        session.messages.answer(
            {key.contains(QLatin1String("undo")) ? shell::Answer::Yes : shell::Answer::No});
        session.app.control<QPushButton>(QStringLiteral("Listings"), QStringLiteral("Command5"))
            ->click();
        QVERIFY2(session.messages.shown().first().text.contains(clipboard),
                 qPrintable(session.messages.shown().first().text));
        QCOMPARE(session.messages.shown().size(), key.endsWith(QLatin1String("refused")) ? 2 : 1);
        session.messages.clear();
        QCOMPARE(corrections(folder).size(), key == QLatin1String("History, undo") ? 2 : 1);
    } else if (key == QLatin1String("Form")) {
        const auto button = [&](const char* name) {
            return session.window->findChild<QPushButton*>(QLatin1String(name));
        };
        button("Command6")->click();
        QLineEdit* suburb = session.window->form()->field(6);
        QCOMPARE(suburb->text(), QStringLiteral("Carlton"));
        QCOMPARE(suburb->accessibleName(), QStringLiteral("Suburb"));
        suburb->setFocus();
        suburb->selectAll();
        QTest::keyClicks(suburb, QStringLiteral("Fitzroy"));
        button("FormNext")->click();
        QCOMPARE(suburb->text(), clipboard);  // the next listing's
    } else if (key == QLatin1String("Go to")) {
        // Each row is headed by its listing's number: the oldest, Parramatta, is the first.
        const QVariant number =
            session.window->model().headerData(2, Qt::Vertical, Qt::DisplayRole);
        QCOMPARE(session.window->model().identities().value(2), number.toLongLong());
        session.window->goTo(number.toLongLong());
    } else if (key == QLatin1String("Go to deleted")) {
        const db::ListingId number = session.window->model().identities().value(1);
        session.messages.answer({shell::Answer::Yes, shell::Answer::Yes});
        session.window->deleteCurrent();
        session.window->goTo(number);
        QTRY_VERIFY(session.window->model().complete());
        QCOMPARE(session.messages.shown().size(), 2);  // the two questions
        session.messages.clear();
        QCOMPARE(corrections(folder).size(), 2);
        // Restored already: a second restore is refused and records nothing.
        const QStringList values = session.window->model().shownValues(1);
        QCOMPARE(session.window->model().store().restore(number, values),
                 db::Store::Outcome::Changed);
        QCOMPARE(corrections(folder).size(), 2);
    } else if (key == QLatin1String("F5")) {
        folder.exec(listing({{0, "NSW"}, {6, "Bondi"}}));
        QTest::keyClick(table, Qt::Key_F5);
    } else {
        QTest::keyClick(table, Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(!table->hasFocus());
        QTest::keyClick(session.window, Qt::Key_F5);
    }
    QStringList found;
    for (int row = 0; row < session.window->model().rowCount(); ++row)
        found.append(session.cell(row, 6));
    QCOMPARE(found.join(QLatin1Char(' ')), suburbs);
    QCOMPARE(table->currentIndex().row(), current);
    QCOMPARE(session.messages.texts(), QStringList());
}

void TestListings::numberNeverGivenTwice() {
    // The listing entered twice is usually the newest: deleted, its number must not
    // come back with the next listing, or its history would name another one.
    TestFolder folder;
    fill(folder);
    Session session(folder);
    session.table()->setCurrentIndex(session.window->model().index(0, 0));
    session.messages.answer({shell::Answer::Yes});
    QTest::keyClick(session.table(), Qt::Key_Delete);
    QCOMPARE(folder.column(QStringLiteral("SELECT Change FROM Corrections")),
             QStringList{"deleted"});
    db::Listing next = db::Listing::fromValues(QStringList(db::kColumnCount, "next"));
    next.token = QStringLiteral("next");
    QCOMPARE(session.app.store().storeListing(next), 1);
    const QString identity = onServer() ? QStringLiteral("pelmar_seq") : QStringLiteral("rowid");
    const QStringList deleted = folder.column(QStringLiteral("SELECT ListingId FROM Corrections"));
    const QStringList stored =
        folder.column(QStringLiteral("SELECT %1 FROM Data WHERE Suburb = 'next'").arg(identity));
    QCOMPARE(stored.size(), 1);
    QVERIFY2(stored.first().toLongLong() > deleted.first().toLongLong(),
             qPrintable(stored.first() + " after " + deleted.first()));
}

void TestListings::refused_data() {
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<QString>("elsewhere");  // what another desk did first; empty: nothing
    QTest::addColumn<QString>("suburb");     // the row shown afterwards, or none
    QTest::addColumn<QStringList>("recorded");
    QTest::newRow("deleted") << true << ""
                             << "Parramatta" << QStringList{"deleted:-"};
    QTest::newRow("correction after another's")
        << false << "UPDATE Data SET Suburb = 'Bondi' WHERE ListingState = 'VIC'"
        << "Bondi" << QStringList{};
    QTest::newRow("correction of a deleted one")
        << false << "DELETE FROM Data WHERE ListingState = 'VIC'"
        << "Parramatta" << QStringList{};
    QTest::newRow("deletion after another's correction")
        << true << "UPDATE Data SET Suburb = 'Bondi' WHERE ListingState = 'VIC'"
        << "Bondi" << QStringList{};
}

void TestListings::refused() {
    QFETCH(bool, deleting);
    QFETCH(QString, elsewhere);
    QFETCH(QString, suburb);
    QFETCH(QStringList, recorded);
    TestFolder folder;
    fill(folder);
    Session session(folder);
    QCOMPARE(session.cell(1, 6), QStringLiteral("Carlton"));
    if (!elsewhere.isEmpty())
        folder.exec(elsewhere);
    if (deleting) {
        session.table()->setCurrentIndex(session.window->model().index(1, 0));
        session.messages.answer({shell::Answer::Yes});
        QTest::keyClick(session.table(), Qt::Key_Delete);
    } else {
        session.edit(1, 6, QStringLiteral("Fitzroy"));
        session.leaveRow();
    }
    QCOMPARE(session.cell(1, 6), suburb);
    QCOMPARE(corrections(folder), recorded);
    // A deletion is asked first; a refusal is said.
    QCOMPARE(session.messages.shown().size(), int(deleting) + int(recorded.isEmpty()));
}

void TestListings::operatorRights_data() {
    QTest::addColumn<bool>("mayDelete");
    QTest::newRow("an operator") << false;
    QTest::newRow("a supervisor") << true;
}

void TestListings::operatorRights() {
    if (!onServer())
        QSKIP("the rights of roles are the server's");
    QFETCH(bool, mayDelete);
    TestFolder folder;
    fill(folder);
    // A role that may read the tables but neither update nor delete a listing itself:
    // it corrects, and deletes when allowed, through the administrator's functions.
    static int roles = 0;
    const QString role = QStringLiteral("listings_desk_%1").arg(++roles);
    const QString database =
        folder.server().section(QStringLiteral("dbname="), 1).section(QLatin1Char(' '), 0, 0);
    TestServer::instance().exec(
        database, QStringLiteral("CREATE ROLE %1 LOGIN; GRANT USAGE ON SCHEMA public TO %1; "
                                 "GRANT SELECT ON Data, Street, State, PropType, PubName TO %1; "
                                 "GRANT EXECUTE ON FUNCTION %2 TO %1;")
                          .arg(role, db::schema::kCorrectFunction) +
                      (mayDelete ? QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO %2;")
                                       .arg(db::schema::kDeleteFunction, role)
                                 : QString()));
    writeServerSetting(folder.path(), TestServer::instance().conninfo(database, role));
    Session session(folder);
    session.edit(1, 6, QStringLiteral("Fitzroy"));
    session.leaveRow();
    QCOMPARE(folder.column(QStringLiteral("SELECT CorrectedBy || ' ' || Change FROM Corrections")),
             QStringList{role + QStringLiteral(" corrected")});
    session.table()->setCurrentIndex(session.window->model().index(1, 0));
    session.messages.answer({shell::Answer::Yes});
    QTest::keyClick(session.table(), Qt::Key_Delete);
    QCOMPARE(session.window->model().rowCount(), mayDelete ? 2 : 3);
    QCOMPARE(folder.column(QStringLiteral("SELECT count(*) FROM Data")),
             QStringList{mayDelete ? "2" : "3"});
    // The question, and for the operator the server's refusal.
    QCOMPARE(session.messages.shown().size(), mayDelete ? 1 : 2);
}

void TestListings::exportOutcome_data() {
    QTest::addColumn<QString>("file");     // in a folder of its own, holding an older file
    QTest::addColumn<QString>("first");    // done to the database once the window shows
    QTest::addColumn<bool>("cancel");      // the operator chooses Cancel on the bar
    QTest::addColumn<QString>("message");  // how the one message starts, or none
    QTest::addColumn<QString>("state");    // how the state line starts afterwards
    const QString none;
    QTest::newRow("given up in the dialog") << "" << none << false << none << "3 listings.";
    QTest::newRow("cancelled") << "old.xlsx" << none << true << none
                               << "Export cancelled; nothing was written.";
    QTest::newRow("the database unreadable") << "old.csv"
                                             << "ALTER TABLE Data RENAME TO Gone" << false
                                             << "The listings could not be exported to '%1': "
                                             << "Export failed.";
    // Cut in the file only, and said so with the file's name.
    QTest::newRow("a cell cut") << "old.xls"
                                << QStringLiteral(
                                       "UPDATE Data SET Suburb = '%1' WHERE ListingState = 'VIC'")
                                       .arg(QString(40000, QLatin1Char('s')))
                                << false << exporter::cutCellsMessage(1, QStringLiteral("old.xls"))
                                << "3 listings exported to old.xls.";
}

void TestListings::exportOutcome() {
    QFETCH(QString, file);
    QFETCH(QString, first);
    QFETCH(bool, cancel);
    QFETCH(QString, message);
    QFETCH(QString, state);
    TestFolder folder;
    fill(folder);
    const QString out = folder.file(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    const QString path = file.isEmpty() ? QString() : out + QLatin1Char('/') + file;
    if (!path.isEmpty()) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }
    Session session(folder);
    if (!first.isEmpty())
        folder.exec(first);
    session.answerExport(path);
    exporter::ExportProgress::setDelay(std::chrono::milliseconds(0));
    QTimer operatorAtBar;
    operatorAtBar.setInterval(0);
    connect(&operatorAtBar, &QTimer::timeout, [&] {
        if (auto* bar = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
            QTest::mouseClick(bar->findChild<QPushButton*>(), Qt::LeftButton);
    });
    if (cancel)
        operatorAtBar.start();
    // From the search box, where a desktop with X11 key bindings takes Ctrl+E as End.
    QTest::keyClick(
        session.app.control<QLineEdit>(QStringLiteral("Listings"), QStringLiteral("Text1")),
        Qt::Key_E, Qt::ControlModifier);
    operatorAtBar.stop();
    exporter::ExportProgress::setDelay(std::chrono::milliseconds(1000));

    QCOMPARE(session.messages.shown().size(), int(!message.isEmpty()));
    if (!message.isEmpty())
        QVERIFY2(session.messages.last().text.startsWith(QString(message).replace(
                     QStringLiteral("%1"), QDir::toNativeSeparators(path))),
                 qPrintable(session.messages.last().text));
    QVERIFY2(session.state().startsWith(state), qPrintable(session.state()));
    // Only a finished export replaces the file, and nothing of an unfinished one stays.
    const bool replaced = state.contains(QStringLiteral(" exported to "));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
             path.isEmpty() ? QStringList() : QStringList{file});
    if (!path.isEmpty()) {
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll() != "old", replaced);
    }
    // The dialog opens in the desk folder, then in the folder chosen last.
    session.answerExport({});
    QVERIFY(QTest::qWaitForWindowActive(session.window));
    QTest::keyClick(session.table(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(session.askedIn, (QStringList{folder.path(), path.isEmpty() ? folder.path() : out}));
}

void TestListings::searchTypedWhileTheServerStalls() {
    if (!onServer())
        QSKIP("a file answers without the event loop");
    // The search's pause runs out while a deletion waits for a stalled server: the
    // search comes once the deletion has its answer, and no statement is refused.
    TestFolder folder;
    fill(folder);
    TestProxy proxy(folder.server());
    writeServerSetting(folder.path(), proxy.conninfo());
    Session session(folder);
    QTest::keyClicks(
        session.app.control<QLineEdit>(QStringLiteral("Listings"), QStringLiteral("Text1")),
        QStringLiteral("nsw"));
    session.table()->setCurrentIndex(session.window->model().index(1, 0));
    session.messages.answer({shell::Answer::Yes});
    proxy.setMode(TestProxy::Hold);
    QTimer::singleShot(ListingsWindow::kSearchPauseMs * 2,
                       [&proxy] { proxy.setMode(TestProxy::Pass); });
    session.window->deleteCurrent();
    QTRY_COMPARE(session.window->model().search(), QStringLiteral("nsw"));
    QCOMPARE(session.window->model().rowCount(), 2);
    QCOMPARE(session.messages.shown().size(), 1);  // the question alone
}

void TestListings::waitsCancelled() {
    // Another session holds Data, so the sort waits: past a second the bar and
    // Cancel show, and Cancel gives the table back as it was, without a word. On a
    // file a correction that waits shows the wait box, whose Cancel keeps it.
    TestFolder folder;
    fill(folder);
    Session session(folder);
    std::unique_ptr<db::ServerSession> server;
    std::unique_ptr<db::SqliteDb> file;
    if (onServer()) {
        server = std::make_unique<db::ServerSession>(folder.server());
        server->exec(QStringLiteral("BEGIN"));
        server->exec(QStringLiteral("LOCK TABLE Data IN ACCESS EXCLUSIVE MODE"));
    } else {
        file = std::make_unique<db::SqliteDb>(folder.dbPath(), 0);
        file->change(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    QPushButton* cancel =
        session.app.control<QPushButton>(QStringLiteral("Listings"), QStringLiteral("Command9"));
    session.window->sortBy(6);
    QVERIFY(session.window->model().finding());
    QVERIFY(!session.table()->isEnabled());
    QTRY_VERIFY(cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(!session.window->model().finding());
    QVERIFY(session.table()->isEnabled());
    QVERIFY(session.window->model().query().isPlain());
    QVERIFY2(session.state().contains(QStringLiteral("cancelled")), qPrintable(session.state()));
    QCOMPARE(session.cell(0, 6), QStringLiteral("Manly"));
    if (file) {
        session.edit(0, 6, QStringLiteral("Fitzroy"));
        CancelWhenWaiting canceller;
        session.leaveRow();
        QVERIFY(canceller.cancelled());
        QVERIFY2(canceller.shownAfterMs() >= 900,
                 qPrintable(QString::number(canceller.shownAfterMs())));
        QCOMPARE(session.window->model().editedRow(), 0);  // kept, to be stored again
        QVERIFY(session.messages.last().text.contains(QStringLiteral("Another desk or program")));
        session.messages.clear();
    }
    if (server)
        server->exec(QStringLiteral("ROLLBACK"));
    else
        file->change(QStringLiteral("ROLLBACK"));
    if (file) {
        QTRY_COMPARE(session.table()->currentIndex().row(), 0);  // back on the kept row
        session.leaveRow();
        QCOMPARE(session.window->model().editedRow(), -1);
        QCOMPARE(session.messages.texts(), QStringList());
    }
    // Sorted once the other session lets go.
    session.window->sortBy(6);
    QTRY_VERIFY(!session.window->model().finding());
    QCOMPARE(session.cell(0, 6), QStringLiteral("Carlton"));
    QCOMPARE(session.messages.texts(), QStringList());
}

void TestListings::exportWhileReading() {
    if (!onServer())
        QSKIP("the file's reads never wait for the event loop");
    // "Export" chosen while the window still reads its listings a part at a time: the
    // export reads on a session of its own, the window goes on reading, and nothing
    // waits for ever.
    constexpr int kListings = 120000;
    TestFolder folder;
    folder.exec(QStringLiteral("INSERT INTO Data (ListingState, Suburb) SELECT 'NSW', 'S' || g "
                               "FROM generate_series(1, %1) g")
                    .arg(kListings));
    Session session(folder);
    QVERIFY(session.window->model().rowCount() < kListings);
    session.app.choose(QStringLiteral("nExport"));
    QTRY_COMPARE_WITH_TIMEOUT(session.window->model().rowCount(), kListings, 30000);
    QCOMPARE(session.messages.texts(), QStringList());
    QProcess count;
    count.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import sys, xlrd; b = xlrd.open_workbook(sys.argv[1]); "
                                "print(sum(s.nrows - 1 for s in b.sheets()))"),
                 folder.file(QStringLiteral("Data.xls"))});
    QVERIFY(count.waitForFinished(60000));
    QCOMPARE(count.readAllStandardOutput().trimmed(), QByteArray::number(kListings));
}

void TestListings::answerLostOrCancelled_data() {
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<bool>("cancel");  // the operator cancels the wait; else the line drops
    QTest::newRow("correction, answer lost") << false << false;
    QTest::newRow("correction, wait cancelled") << false << true;
    QTest::newRow("deletion, answer lost") << true << false;
    QTest::newRow("deletion, wait cancelled") << true << true;
}

void TestListings::answerLostOrCancelled() {
    if (!onServer())
        QSKIP("a file answers at once");
    // The server takes the change, and its answer never reaches the desk: the program
    // learns from the row what happened before it says anything, and nothing is stored
    // twice.
    QFETCH(bool, deleting);
    QFETCH(bool, cancel);
    TestFolder folder;
    fill(folder);
    TestProxy proxy(folder.server());
    writeServerSetting(folder.path(), proxy.conninfo());
    Session session(folder);
    QVERIFY(!session.window->model().lacksCorrections());  // asked now, not under the stall
    if (!deleting)
        session.edit(1, 6, QStringLiteral("Fitzroy"));  // the stall is the correction's own
    proxy.setMode(TestProxy::Hold);
    std::optional<CancelWhenWaiting> operatorCancels;
    QTimer line;
    line.setInterval(50);
    if (cancel) {
        operatorCancels.emplace();
        QObject::connect(&line, &QTimer::timeout, [&] {
            if (operatorCancels->cancelled())
                proxy.setMode(TestProxy::Pass);
        });
    } else {
        QObject::connect(&line, &QTimer::timeout, [&] {
            proxy.closeAll();
            proxy.setMode(TestProxy::Pass);
        });
        line.setSingleShot(true);
        line.setInterval(500);
    }
    line.start();
    if (deleting) {
        session.table()->setCurrentIndex(session.window->model().index(1, 0));
        session.messages.answer({shell::Answer::Yes});
        session.window->deleteCurrent();
    } else {
        session.leaveRow();
    }
    QTRY_VERIFY(!corrections(folder).isEmpty());
    QCOMPARE(corrections(folder).size(), 1);
    QVERIFY(corrections(folder).first().startsWith(deleting ? "deleted" : "corrected"));
    if (deleting)
        QCOMPARE(session.window->model().rowCount(), 2);
    else
        QCOMPARE(session.cell(1, 6), QStringLiteral("Fitzroy"));
    // Told as stored, which it is: no message beyond the deletion's question.
    QCOMPARE(session.messages.texts(),
             deleting ? QStringList{session.messages.shown().first().text} : QStringList{});
}

QTEST_MAIN(TestListings)
#include "listings.moc"

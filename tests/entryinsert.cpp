// The listing row insert: a whole listing typed through the three windows lands as
// one row of Data with exactly the values typed; the question before empty values;
// the statement text; and a failed insert that leaves the operator's work in place.
#include <QApplication>
#include <QCheckBox>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <QUuid>

#include "entry/entrywindow.h"
#include "entry/listinginsert.h"
#include "entry/settle.h"
#include "entry/unconfirmed.h"
#include "entrysession.h"
#include "shell/twips.h"
#include "support/foreignlock.h"
#include "support/testserver.h"

Q_DECLARE_METATYPE(shell::Answer)

using shell::Answer;
using shell::element;

namespace {

// Why a submit fails: a file locked or altered by another program, a server stopped,
// a trigger that drops the row, the connection lost while the server works on it.
enum Cause { Locked, Altered, ServerStopped, Dropped, AnswerLost };

const QString kQuestion =
    QStringLiteral("One or More field(s) is/are Empty. Are You Sure to Insert");
const QString kInserted = QStringLiteral("Rcord Successfully Inserted");

// A listing as typed: the values of the three windows' fields in column order, the
// flags as "1" or "0". Element 8 stands for the option chosen.
QStringList listing(const QString& tag) {
    QStringList values;
    for (int k = 0; k < db::kColumnCount; ++k)
        values.append(QStringLiteral("%1 %2").arg(tag).arg(k));
    values[8] = QStringLiteral("Rent");
    for (int k = 42; k <= 60; ++k)
        values[k] = k % 3 == 0 ? QStringLiteral("1") : QStringLiteral("0");
    return values;
}

QString expectedStatement(const QStringList& row) {
    QString text = QStringLiteral("Insert into Data values(");
    for (int k = 0; k < 75; ++k)
        text += QLatin1Char('\'') + row.at(k) + QStringLiteral("',");
    return text + QLatin1Char('\'') + row.at(75) + QStringLiteral("');");
}

}  // namespace

class TestEntryInsert : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<TestFolder>();
        folder_->exec("INSERT INTO State VALUES ('NSW')");
        folder_->exec("INSERT INTO PubName VALUES ('Herald', 'NSW')");
        session_ = std::make_unique<EntrySession>(*folder_);
    }
    void cleanup() {
        session_.reset();
        folder_.reset();
    }

    void wholeListingByKeyboard() {
        const QStringList row = listing("value");
        session_->app().frame().resize(700, 300);
        enterListing(row);
        QCOMPARE(folder_->rows("SELECT * FROM Data"), QList<QStringList>{row});
        QVERIFY(session_->takeStatements().contains(expectedStatement(row)));
        QCOMPARE(session_->messages().texts(), QStringList{kInserted});
        QCOMPARE(session_->messages().last().icon, shell::Icon::None);
        QCOMPARE(session_->messages().last().buttons, shell::Buttons::Ok);
        // The next listing starts in the first window, at the top of a frame that
        // covers the screen's available height again, title bar and borders included.
        QVERIFY(!session_->isOpen("Part3"));
        QVERIFY(session_->isOpen("Part1"));
        QCOMPARE(session_->app().window("Part1")->topTwips(),
                 shell::toTwips(session_->app().frame().y()));
        QCOMPARE(session_->app().frame().frameGeometry().height(),
                 QApplication::primaryScreen()->availableGeometry().height());
        QCOMPARE(session_->text("Part1", "Combo1"), QString());
        QCOMPARE(session_->focused(), QStringLiteral("Part1.Combo1"));
    }

    void exactValues() {
        QStringList row = listing("plain");
        row[0] = "Île-de-France";
        row[5] = "O'Connell  Street";
        row[14] = "$1.2m";
        row[61] = "First line\nSecond – “quoted” and O'Neil's\n  indented\n";
        row[63] = "Zoë";
        row[74] = "L'Écho de Zürich";
        QStringList typed = row;
        typed[5] = "  " + row[5] + " ";
        typed[61] = "   " + row[61] + "  ";
        enterListing(typed);
        QCOMPARE(folder_->rows("SELECT * FROM Data"), QList<QStringList>{row});
    }

    void emptyValues_data() {
        QTest::addColumn<QList<int>>("emptied");  // elements typed as blanks or nothing
        QTest::addColumn<QList<int>>("typedX");   // elements typed as the letter x
        QTest::newRow("every text of the details window") << [] {
            QList<int> all;
            for (int k = 13; k <= 75; ++k)
                if (k < 42 || k > 60)
                    all.append(k);
            return all;
        }() << QList<int>{};
        QTest::newRow("the date of the first window") << QList<int>{2} << QList<int>{};
        QTest::newRow("blanks and a typed x") << QList<int>{16, 75} << QList<int>{20};
    }
    void emptyValues() {
        QFETCH(QList<int>, emptied);
        QFETCH(QList<int>, typedX);
        QStringList typed = listing("v");
        QStringList stored = typed;
        for (int k : emptied) {
            typed[k] = k % 2 ? QStringLiteral("   ") : QString();
            stored[k] = QStringLiteral("x");
        }
        for (int k : typedX)
            typed[k] = stored[k] = QStringLiteral("x");
        // Earlier windows ask for their own empty fields first.
        const int earlier =
            std::count_if(emptied.begin(), emptied.end(), [](int k) { return k < 13; });
        for (int i = 0; i <= earlier; ++i)
            session_->messages().answer({Answer::Yes});
        enterListing(typed);
        QCOMPARE(session_->messages().texts(), QStringList(earlier + 1, kQuestion) << kInserted);
        QCOMPARE(folder_->rows("SELECT * FROM Data"), QList<QStringList>{stored});
    }

    void noLeavesEverythingAsTyped() {
        QStringList typed = listing("v");
        typed[17] = QString();
        session_->messages().answer({Answer::No});
        enterListing(typed);
        QCOMPARE(session_->messages().texts(), QStringList{kQuestion});
        QVERIFY(session_->isOpen("Part3"));
        QCOMPARE(session_->focused(), QStringLiteral("Part3.Command1"));
        QCOMPARE(session_->text("Part3", "Text1(2)"), typed[16]);
        // No again after a change, then Yes: one row with the texts of the last submit.
        session_->typeInto("Part3", "Text1(0)", " more");
        session_->messages().answer({Answer::No, Answer::Yes});
        session_->click("Part3", "Command1");
        session_->typeInto("Part3", "Text1(1)", " last");
        session_->click("Part3", "Command1");
        QStringList stored = typed;
        stored[14] += " more";
        stored[15] += " last";
        stored[17] = QStringLiteral("x");
        QCOMPARE(folder_->rows("SELECT * FROM Data"), QList<QStringList>{stored});
    }

    void failedInsertKeepsTheWork_data() {
        QTest::addColumn<int>("cause");
        QTest::addColumn<QString>("error");
        QTest::newRow("row dropped by a trigger") << int(Dropped) << "Nothing was stored";
        if (onServer()) {
            QTest::newRow("server stopped") << int(ServerStopped) << "database server 127.0.0.1";
            QTest::newRow("answer lost")
                << int(AnswerLost)
                << "The server's answer to this Subnmit was lost: the listing may or may not "
                   "have been stored. It is kept, in this window and in the program's folder; "
                   "choosing \"Subnmit\" again stores it exactly once.";
            return;
        }
        QTest::newRow("locked by another program") << int(Locked) << "database is locked";
        QTest::newRow("table altered") << int(Altered) << "77 columns but 76 values";
    }
    void failedInsertKeepsTheWork() {
        QFETCH(int, cause);
        QFETCH(QString, error);
        QStringList typed = listing("v");
        typed[30] = QString();
        session_->messages().answer({Answer::Yes});
        enterListing(typed, /*submit=*/false);
        {
            std::unique_ptr<ForeignLock> lock;
            if (cause == Locked)
                lock = std::make_unique<ForeignLock>(folder_->dbPath());
            else if (cause == Altered)
                folder_->exec("ALTER TABLE Data ADD COLUMN Extra TEXT");
            else if (cause == Dropped)
                folder_->dropRows("Data", "INSERT");
            else if (cause == AnswerLost)
                killOnInsert(true);
            else
                TestServer::instance().stop();
            session_->enter();
            if (cause == ServerStopped)
                TestServer::instance().start();
            QCOMPARE(session_->messages().texts(),
                     QStringList{kQuestion} << session_->messages().last().text);
            QCOMPARE(session_->messages().last().icon, shell::Icon::Critical);
            QVERIFY2(session_->messages().last().text.contains(error),
                     qPrintable(session_->messages().last().text));
            QVERIFY(session_->isOpen("Part3"));
            QCOMPARE(session_->text("Part3", "Text1(0)"), typed[14]);
            QCOMPARE(static_cast<entry::EntryWindow*>(session_->app().window("Part3"))
                         ->listing()[db::Column::DistanceGolfCourse],
                     QString());
            if (cause == AnswerLost)
                QCOMPARE(entry::unconfirmedListings(folder_->path()).size(), 1);
        }
        if (cause == Altered)
            folder_->exec("ALTER TABLE Data DROP COLUMN Extra");
        if (cause == Dropped)
            folder_->dropRows("Data", "INSERT", false);
        if (cause == AnswerLost)
            killOnInsert(false);
        QVERIFY(folder_->rows("SELECT * FROM Data").isEmpty());
        // The cause gone, the same submit goes through, asking its question again.
        session_->messages().clear();
        session_->messages().answer({Answer::Yes});
        session_->click("Part3", "Command1");
        QCOMPARE(session_->messages().texts(), QStringList({kQuestion, kInserted}));
        QCOMPARE(folder_->rows("SELECT * FROM Data").size(), 1);
        QVERIFY(!session_->isOpen("Part3"));
        QVERIFY(!QFile::exists(entry::unconfirmedFile(folder_->path())));
    }

    void unconfirmedSettledAtStart_data() {
        QTest::addColumn<bool>("stored");  // the lost Subnmit had stored the row
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("kept");
        QTest::newRow("stored") << true << QList<Answer>{} << "is stored on the server" << 1
                                << false;
        QTest::newRow("not stored, Yes")
            << false << QList<Answer>{Answer::Yes} << kInserted << 1 << false;
        QTest::newRow("not stored, No") << false << QList<Answer>{Answer::No}
                                        << "No keeps it, and the program asks again" << 0 << true;
    }
    void unconfirmedSettledAtStart() {
        if (!onServer())
            QSKIP("a file has no lost answers");
        QFETCH(bool, stored);
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, told);
        QFETCH(int, rows);
        QFETCH(bool, kept);
        const QString token = QUuid::createUuid().toString();
        const QStringList values = listing("kept");
        if (stored)
            folder_->exec("SELECT * FROM pelmar_store_listing('" + token + "', ARRAY['" +
                          values.join("','") + "'])");
        entry::keepUnconfirmed(folder_->path(), {token, values});
        for (Answer answer : answers)
            session_->messages().answer({answer});
        entry::settleUnconfirmed(session_->app().desk());
        QVERIFY2(session_->messages().last().text.contains(told),
                 qPrintable(session_->messages().last().text));
        QVERIFY(session_->messages().shown().first().text.contains("\"kept 0, kept 1, kept 2"));
        QCOMPARE(folder_->rows("SELECT * FROM Data"), QList<QStringList>(rows, values));
        QCOMPARE(QFile::exists(entry::unconfirmedFile(folder_->path())), kept);
    }

    void storedRowIsNotOfferedAgain() {
        // The first window cannot be shown after the insert: the row stays stored
        // once, and the details window is gone so it cannot be submitted twice.
        enterListing(listing("v"), /*submit=*/false);
        QVERIFY(QFile::remove(folder_->file("head1.jpg")));
        session_->enter();
        QCOMPARE(session_->messages().shown().at(0).text, kInserted);
        QCOMPARE(session_->messages().last().icon, shell::Icon::Critical);
        QCOMPARE(folder_->rows("SELECT * FROM Data").size(), 1);
        QVERIFY(!session_->isOpen("Part3"));
        QVERIFY(!session_->isOpen("Part1"));
    }

private:
    // Every insert into Data ends the server's own session as it works on it: the
    // desk's Subnmit is sent, and its answer never comes.
    void killOnInsert(bool on) {
        folder_->exec(on ? "CREATE FUNCTION kill_session() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); "
                           "PERFORM pg_sleep(5); RETURN NEW; END$$; "
                           "CREATE TRIGGER kill_session AFTER INSERT ON Data FOR EACH ROW "
                           "EXECUTE FUNCTION kill_session()"
                         : "DROP TRIGGER kill_session ON Data");
    }

    // Types the listing through the three windows with the keyboard alone, along the
    // Enter paths, with Tab to the option buttons, check boxes and the second
    // publication list; Enter on the focused Submit button ends each window.
    void enterListing(const QStringList& v, bool submit = true) {
        session_->openEntry();
        session_->passPart1(v[0], v[1], v[2]);
        for (int k : {3, 4, 5, 6, 7}) {
            session_->type(v[k]);
            session_->enter();
        }
        if (v[8] == QStringLiteral("Rent")) {
            // Back from the agency name to the option buttons, and an arrow to "For Rent".
            session_->press(Qt::Key_Tab, Qt::ShiftModifier);
            session_->press(Qt::Key_Down);
            session_->press(Qt::Key_Space);
            QCOMPARE(session_->focused(), QStringLiteral("Part2.Option2"));
            session_->press(Qt::Key_Tab);
            QCOMPARE(session_->focused(), QStringLiteral("Part2.Text1(4)"));
        }
        for (int k : {9, 10, 11, 12}) {
            session_->type(v[k]);
            session_->enter();
        }
        session_->enter();
        QCOMPARE(session_->focused(), QStringLiteral("Part3.Combo1"));
        session_->type(v[13]);
        session_->press(Qt::Key_Tab);
        for (int i = 0; i <= 27; ++i) {
            session_->type(v[14 + i]);
            if (i < 27)
                session_->enter();
        }
        for (int i = 0; i <= 18; ++i) {
            session_->press(Qt::Key_Tab);
            if (v[42 + i] == QStringLiteral("1"))
                session_->press(Qt::Key_Space);
        }
        session_->press(Qt::Key_Tab);
        for (int i = 28; i <= 40; ++i) {
            session_->type(v[i + 33]);
            if (i < 40)
                session_->enter();
        }
        session_->press(Qt::Key_Tab);
        QCOMPARE(session_->focused(), QStringLiteral("Part3.Combo2"));
        session_->type(v[74]);
        session_->press(Qt::Key_Tab);
        session_->type(v[75]);
        session_->enter();
        QCOMPARE(session_->focused(), QStringLiteral("Part3.Command1"));
        if (submit)
            session_->enter();
    }

    std::unique_ptr<TestFolder> folder_;
    std::unique_ptr<EntrySession> session_;
};

QTEST_MAIN(TestEntryInsert)
#include "entryinsert.moc"

// The publication and address windows driven through their controls: lists filled
// from the lookup tables, the Enter paths, the empty-field question, and what each
// Submit hands on in the listing record.
#include <QAccessible>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTest>

#include "entry/entrywindow.h"
#include "entrysession.h"
#include "shell/twips.h"

using shell::Answer;
Q_DECLARE_METATYPE(shell::Answer)
Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {

const QString kQuestion =
    QStringLiteral("One or More field(s) is/are Empty. Are You Sure to Insert");

const QString kBanner = QStringLiteral("Pelmar - Listora - Data Entry ");

void seed(const TestFolder& folder) {
    folder.exec("INSERT INTO State VALUES ('NSW'), (' VIC '), ('QLD')");
    folder.exec(
        "INSERT INTO PubName VALUES ('Sydney Herald', 'NSW'), ('  Daily Telegraph ', '  NSW '), "
        "('Lower Case', 'nsw'), ('Inner Blank', 'N SW'), ('Stateless', ''), ('The Age', 'VIC')");
    folder.exec("INSERT INTO Street VALUES ('Street'), (' Road  '), ('Avenue')");
}

QStringList items(const QComboBox* box) {
    QStringList all;
    for (int i = 0; i < box->count(); ++i)
        all.append(box->itemText(i));
    return all;
}

QString accessibleName(QWidget* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

// The values of the listing as the furthest open entry window holds it.
QStringList elements(const AppHarness& app, int first, int last) {
    shell::ChildWindow* window = nullptr;
    for (const char* step : {"Part3", "Part2", "Part1"}) {
        if (!window)
            window = app.window(QLatin1String(step));
    }
    const db::Listing& listing = static_cast<entry::EntryWindow*>(window)->listing();
    QStringList values;
    for (int k = first; k <= last; ++k)
        values.append(listing[db::Column(k)]);
    return values;
}

}  // namespace

class TestEntrySteps : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<TestFolder>();
        seed(*folder_);
        session_ = std::make_unique<EntrySession>(*folder_);
    }
    void cleanup() {
        session_.reset();
        folder_.reset();
    }

    void publicationStepLoads() {
        // Placed against the main frame, whatever the screen.
        session_->app().frame().resize(1000, 500);
        session_->openEntry();
        shell::ChildWindow* part1 = session_->app().window("Part1");
        QVERIFY(part1);
        QCOMPARE(part1->windowTitle(), QStringLiteral("Data Entry Form-1"));
        QCOMPARE(part1->topTwips(), (7500.0 - 4770.0) / 3);
        QCOMPARE(part1->leftTwips(), (15000.0 - 7700.0) / 2);
        QCOMPARE(session_->control<QLabel>("Part1", "Label1")->text(), kBanner);
        QComboBox* states = session_->combo("Part1", "Combo1");
        QCOMPARE(items(states), QStringList({"NSW", "VIC", "QLD"}));
        QCOMPARE(states->currentIndex(), -1);
        QCOMPARE(states->currentText(), QString());
        QCOMPARE(session_->combo("Part1", "Combo2")->count(), 0);
        QCOMPARE(session_->focused(), QStringLiteral("Part1.Combo1"));
    }

    void choosingAStateListsItsPublications_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("publications");
        // Blanks around either side do not matter; case and inner blanks do.
        QTest::newRow("NSW") << 0 << QStringList{"Sydney Herald", "Daily Telegraph"};
        QTest::newRow("VIC stored with blanks") << 1 << QStringList{"The Age"};
        QTest::newRow("no publications") << 2 << QStringList{};
    }
    void choosingAStateListsItsPublications() {
        QFETCH(int, row);
        QFETCH(QStringList, publications);
        session_->openEntry();
        session_->pick("Part1", "Combo1", row);
        QComboBox* list = session_->combo("Part1", "Combo2");
        QCOMPARE(items(list), publications);
        QCOMPARE(list->currentText(), QString());
        QCOMPARE(session_->focused(), QStringLiteral("Part1.Combo2"));
    }

    void everyChoiceRebuildsTheListOnce() {
        session_->openEntry();
        QComboBox* list = session_->combo("Part1", "Combo2");
        session_->pick("Part1", "Combo1", 1);
        QCOMPARE(items(list), QStringList{"The Age"});
        // The arrow keys choose too, each step once.
        session_->takeStatements();
        session_->control("Part1", "Combo1")->setFocus();
        session_->press(Qt::Key_Up);
        QCOMPARE(items(list), QStringList({"Sydney Herald", "Daily Telegraph"}));
        QCOMPARE(session_->focused(), QStringLiteral("Part1.Combo2"));
        QCOMPARE(session_->takeStatements(), QStringList{"Select * from PubName;"});
        // The same state picked again reads the table afresh.
        folder_->exec("INSERT INTO PubName VALUES ('Manly Daily', 'NSW')");
        session_->pick("Part1", "Combo1", 0);
        QCOMPARE(items(list), QStringList({"Sydney Herald", "Daily Telegraph", "Manly Daily"}));
        QCOMPARE(session_->takeStatements(), QStringList{"Select * from PubName;"});
    }

    void typingAStateDoesNotChooseIt() {
        session_->openEntry();
        session_->type("NS");
        QCOMPARE(session_->combo("Part1", "Combo2")->count(), 0);
        QCOMPARE(session_->text("Part1", "Combo1"), QStringLiteral("NS"));
    }

    // The keypad's Enter does what Enter does, the Submit at the end of the path too.
    void enterMovesAlongThePublicationStep_data() {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << Qt::KeyboardModifiers() << int(Qt::Key_Return);
        QTest::newRow("keypad Enter")
            << Qt::KeyboardModifiers(Qt::KeypadModifier) << int(Qt::Key_Enter);
    }
    void enterMovesAlongThePublicationStep() {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, key);
        session_->openEntry();
        const QStringList path = {"Part1.Combo2", "Part1.Text1", "Part1.Command1"};
        for (const QString& next : path) {
            session_->type("ab");
            session_->press(Qt::Key(key), modifiers);
            QCOMPARE(session_->focused(), next);
        }
        QCOMPARE(session_->text("Part1", "Combo1"), QStringLiteral("ab"));
        QCOMPARE(session_->text("Part1", "Text1"), QStringLiteral("ab"));
        session_->press(Qt::Key(key), modifiers);
        QVERIFY(session_->isOpen("Part2"));
    }

    // Qt reports a listed state as chosen when its field loses the focus; only the
    // operator's choice fills the publications and moves on.
    void leavingAListedStateIsNoChoice_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("publications");
        QTest::newRow("click into the date") << "click"
                                             << "Part1.Text1" << 0;
        QTest::newRow("Enter") << "Enter"
                               << "Part1.Combo2" << 2;
        QTest::newRow("keypad Enter") << "keypad"
                                      << "Part1.Combo2" << 2;
    }
    void leavingAListedStateIsNoChoice() {
        QFETCH(QString, how);
        QFETCH(QString, focus);
        QFETCH(int, publications);
        session_->openEntry();
        session_->type("NSW");
        if (how == "click")
            QTest::mouseClick(session_->control("Part1", "Text1"), Qt::LeftButton);
        else if (how == "Enter")
            session_->enter();
        else
            session_->press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(session_->focused(), focus);
        QCOMPARE(session_->combo("Part1", "Combo2")->count(), publications);
        QCOMPARE(session_->text("Part1", "Combo1"), QStringLiteral("NSW"));
    }

    void publicationSubmit_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QStringList>("stored");  // empty: nothing stored, Part1 stays
        QTest::newRow("all filled")
            << QStringList{"NSW", "Sydney Herald", "01/02/24"} << false << Answer::Yes
            << QStringList{"NSW", "Sydney Herald", "01/02/24"};
        QTest::newRow("exact values, trimmed at both ends only")
            << QStringList{"  Nouvelle-Galles du Sud ", " L'Écho  de  Zürich ", "1st  of May "}
            << false << Answer::Yes
            << QStringList{"Nouvelle-Galles du Sud", "L'Écho  de  Zürich", "1st  of May"};
        QTest::newRow("blank date, No")
            << QStringList{"NSW", "Herald", "   "} << true << Answer::No << QStringList{};
        QTest::newRow("all empty, Yes")
            << QStringList{"", "", ""} << true << Answer::Yes << QStringList{"", "", ""};
    }
    void publicationSubmit() {
        QFETCH(QStringList, typed);
        QFETCH(bool, asked);
        QFETCH(Answer, answer);
        QFETCH(QStringList, stored);
        session_->openEntry();
        session_->messages().answer({answer});
        session_->passPart1(typed.at(0), typed.at(1), typed.at(2));
        QCOMPARE(session_->messages().texts(), asked ? QStringList{kQuestion} : QStringList{});
        if (asked)
            QCOMPARE(session_->messages().last().icon, shell::Icon::Question);
        if (stored.isEmpty()) {
            QVERIFY(session_->isOpen("Part1"));
            QVERIFY(!session_->isOpen("Part2"));
            QCOMPARE(session_->focused(), QStringLiteral("Part1.Combo1"));
            QCOMPARE(session_->text("Part1", "Text1"), typed.at(2));
            return;
        }
        QCOMPARE(elements(session_->app(), 0, 2), stored);
        QVERIFY(!session_->isOpen("Part1"));
        QVERIFY(session_->isOpen("Part2"));
        QCOMPARE(session_->focused(), QStringLiteral("Part2.Text1(0)"));
    }

    void backHandsNothingOn() {
        session_->openEntry();
        session_->messages().answer({Answer::No});
        session_->passPart1("NSW", "Herald", "");
        session_->messages().clear();
        session_->click("Part1", "Command2");
        QVERIFY(!session_->isOpen("Part1"));
        QVERIFY(session_->messages().shown().isEmpty());
        QVERIFY(!session_->isOpen("Part2"));
    }

    void openingAgainKeepsWhatWasTyped() {
        session_->openEntry();
        shell::ChildWindow* first = session_->app().window("Part1");
        session_->type("half typed");
        session_->openEntry();
        QCOMPARE(session_->app().window("Part1"), first);
        QCOMPARE(session_->text("Part1", "Combo1"), QStringLiteral("half typed"));
        // After a Submit the next opening starts afresh.
        session_->passPart1("NSW", "Herald", "01/01/24");
        session_->openEntry();
        QCOMPARE(session_->text("Part1", "Combo1"), QString());
    }

    void failingToOpenTheNextWindowKeepsTheTyping() {
        session_->openEntry();
        QVERIFY(QFile::remove(folder_->file("head1.jpg")));
        session_->passPart1("NSW", "Herald", "01/01/24");
        QCOMPARE(session_->messages().last().icon, shell::Icon::Critical);
        QVERIFY(session_->isOpen("Part1"));
        QVERIFY(!session_->isOpen("Part2"));
        QCOMPARE(session_->text("Part1", "Combo2"), QStringLiteral("Herald"));
    }

    void addressStepLoads() {
        session_->openEntry();
        session_->passPart1(" Zürich's ", "Herald", "01/01/24");
        QCOMPARE(session_->app().window("Part2")->windowTitle(),
                 QStringLiteral("Data Entry Form - 2"));
        QCOMPARE(session_->control<QLabel>("Part2", "Label2(5)")->text(),
                 QStringLiteral("Zürich's"));
        // A screen reader hears the state shown, and each field by its caption.
        QCOMPARE(accessibleName(session_->control("Part2", "Label2(5)")),
                 QStringLiteral("Zürich's"));
        QCOMPARE(accessibleName(session_->control("Part2", "Text1(0)")),
                 QStringLiteral("Unit No :"));
        // A combo box announces its text; the label beside it names it.
        const auto labelledBy =
            QAccessible::queryAccessibleInterface(session_->control("Part2", "Combo1"))
                ->relations(QAccessible::Label);
        QCOMPARE(labelledBy.size(), 1);
        QCOMPARE(labelledBy.first().first->object(), session_->control("Part2", "Label2(6)"));
        QCOMPARE(session_->control<QLabel>("Part2", "Label1")->text(), kBanner);
        QVERIFY(session_->control<QRadioButton>("Part2", "Option1")->isChecked());
        QCOMPARE(items(session_->combo("Part2", "Combo1")),
                 QStringList({"Bussiness", "Commercial", "Farm/Rural", "Flat", "House",
                              "House - Duplex", "House - Terrace", "Land", "Unit / Townhouse"}));
        QCOMPARE(items(session_->combo("Part2", "Combo2")),
                 QStringList({"Street", "Road", "Avenue"}));
        QCOMPARE(items(session_->combo("Part2", "Combo3")),
                 QStringList({"North", "South", "West", "East"}));
        for (const char* name : {"Combo1", "Combo2", "Combo3"})
            QCOMPARE(session_->text("Part2", name), QString());
    }

    void enterMovesAlongTheAddressStep() {
        session_->openEntry();
        session_->passPart1("NSW", "Herald", "01/01/24");
        session_->click("Part2", "Option2");
        session_->control("Part2", "Text1(0)")->setFocus();
        const QStringList path = {"Text1(1)", "Text1(2)", "Text1(3)", "Combo1",  "Text1(4)",
                                  "Text1(5)", "Combo2",   "Combo3",   "Command1"};
        for (const QString& next : path) {
            session_->enter();
            QCOMPARE(session_->focused(), QStringLiteral("Part2.") + next);
        }
        QVERIFY(session_->control<QRadioButton>("Part2", "Option2")->isChecked());
    }

    void addressSubmit_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("forRent");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QStringList>("stored");  // elements 3 to 12; empty: nothing stored
        const QStringList full = {
            "2", "14", "O'Connell  Street", "Mosman", "House", "Ray White", "A", "Road", "North"};
        QStringList stored = full;
        stored.insert(5, "Sale");
        QTest::newRow("for sale") << full << false << false << Answer::Yes << stored;
        stored[5] = "Rent";
        QTest::newRow("for rent") << full << true << false << Answer::Yes << stored;
        QStringList padded;
        for (const QString& value : full)
            padded.append("  " + value + " ");
        QTest::newRow("blanks around") << padded << true << false << Answer::Yes << stored;
        QStringList blankUnit = full;
        blankUnit[0] = "  ";
        QTest::newRow("blank unit, No")
            << blankUnit << false << true << Answer::No << QStringList{};
        QTest::newRow("all empty, Yes") << QStringList(9, QString()) << false << true << Answer::Yes
                                        << QStringList{"", "", "", "", "", "Sale", "", "", "", ""};
    }
    void addressSubmit() {
        QFETCH(QStringList, typed);
        QFETCH(bool, forRent);
        QFETCH(bool, asked);
        QFETCH(Answer, answer);
        QFETCH(QStringList, stored);
        session_->openEntry();
        session_->passPart1("NSW", "Herald", "01/01/24");
        if (forRent)
            session_->click("Part2", "Option2");
        session_->control("Part2", "Text1(0)")->setFocus();
        session_->messages().answer({answer});
        session_->passPart2(typed);
        QCOMPARE(session_->messages().texts(), asked ? QStringList{kQuestion} : QStringList{});
        if (stored.isEmpty()) {
            QVERIFY(session_->isOpen("Part2"));
            QCOMPARE(session_->focused(), QStringLiteral("Part2.Text1(0)"));
            QCOMPARE(session_->text("Part2", "Text1(2)"), typed.at(2));
            QCOMPARE(elements(session_->app(), 3, 12), QStringList(10, QString()));
            return;
        }
        QCOMPARE(elements(session_->app(), 3, 12), stored);
        QVERIFY(!session_->isOpen("Part2"));
        QVERIFY(session_->isOpen("Part3"));
    }

    // While a listing is on its way, "Data Entry" brings its window to the front as it
    // is: a second listing would share the one record. Back ends the listing.
    void oneListingAtATime_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("back");
        QTest::newRow("address window") << "Part2" << false;
        QTest::newRow("details window") << "Part3" << false;
        QTest::newRow("address window, Back") << "Part2" << true;
        QTest::newRow("details window, Back") << "Part3" << true;
    }
    void oneListingAtATime() {
        QFETCH(QString, step);
        QFETCH(bool, back);
        session_->openEntry();
        session_->passPart1("NSW", "Herald", "01/01/24");
        if (step == "Part3") {
            session_->messages().answer({Answer::Yes});
            session_->passPart2(QStringList(9, QString()));
        }
        shell::ChildWindow* window = session_->app().window(step);
        QVERIFY(window);
        session_->type("typed before");
        const QString field = session_->focused().section('.', 1);
        if (back)
            session_->click(step, "Command2");
        session_->openEntry();
        QCOMPARE(session_->isOpen("Part1"), back);
        if (back) {
            QVERIFY(!session_->isOpen(step));
            QCOMPARE(session_->text("Part1", "Combo1"), QString());
            return;
        }
        QCOMPARE(session_->app().window(step), window);
        QCOMPARE(static_cast<QWidget*>(session_->app().frame().workArea()->activeSubWindow()),
                 window->parentWidget());
        QCOMPARE(session_->text(step, field), QStringLiteral("typed before"));
        QCOMPARE(elements(session_->app(), 0, 0), QStringList{"NSW"});
    }

private:
    std::unique_ptr<TestFolder> folder_;
    std::unique_ptr<EntrySession> session_;
};

QTEST_MAIN(TestEntrySteps)
#include "entrysteps.moc"

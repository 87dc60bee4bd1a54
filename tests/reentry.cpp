// Buttons pressed while a window's own message box waits for an answer. A modal box
// stops the keyboard and the mouse, but not a screen reader or an automation client
// that presses buttons through the accessibility interface.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "entrysession.h"
#include "lookupsession.h"

using shell::Answer;

namespace {

// Presses the button as an accessibility client does, from within an event loop
// such as a modal box runs. The press is animated: the click comes from a timer
// of the loop, and the loop runs on for one more turn after it.
void pressAccessibly(QAbstractButton* button) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
    QVERIFY(face && face->actionInterface());
    QEventLoop loop;
    QObject::connect(button, &QAbstractButton::clicked, &loop,
                     [&loop] { QTimer::singleShot(0, &loop, &QEventLoop::quit); });
    QTimer::singleShot(0, &loop, [face] {
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
}

// The entry of a menu bar or menu that an accessibility client finds by its name.
QAccessibleInterface* accessibleChild(QWidget* menu, const QString& name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(menu);
    for (int i = 0; face && i < face->childCount(); ++i) {
        if (face->child(i)->text(QAccessible::Name) == name)
            return face->child(i);
    }
    return nullptr;
}

// While the box of that number shows (the first: 1), presses the button and then
// does what follows; records whether the window was still there when the box was
// answered.
class PressDuringBox {
public:
    PressDuringBox(ScriptedMessages& messages, QWidget* window,
                   std::function<QAbstractButton*()> button, int box = 1,
                   std::function<void()> then = {})
        : messages_(messages), window_(window) {
        messages.whileShown([this, button, box, then](const shell::Message&) {
            if (++shown_ != box)
                return;
            pressAccessibly(button());
            if (then)
                then();
            thereAtAnswer_ = !window_.isNull();
        });
    }
    ~PressDuringBox() { messages_.whileShown({}); }
    bool thereAtAnswer() const { return thereAtAnswer_; }
    // Once the handler has returned and the deferred deletes have run.
    bool gone() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window_.isNull();
    }

private:
    ScriptedMessages& messages_;
    QPointer<QWidget> window_;
    int shown_ = 0;
    bool thereAtAnswer_ = false;
};

}  // namespace

class TestReentry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void endWhileTheEditorsMessageShows();
    void detailsButtonWhileTheQuestionShows_data();
    void detailsButtonWhileTheQuestionShows();
    void menuOpenedAccessiblyClosesFirst();
};

void TestReentry::endWhileTheEditorsMessageShows() {
    TestFolder folder;
    LookupSession session(folder, "mStreet", "Street");
    PressDuringBox press(session.messages(), session.app().window("Street"),
                         [&] { return session.button(3); });  // "&End"
    session.type("lane");
    session.click(1);  // "&Update"
    QCOMPARE(session.messages().texts(), QStringList{"Rcord Successfully Inserted"});
    QVERIFY(press.thereAtAnswer());
    QVERIFY(!session.isOpen());
    QVERIFY(press.gone());
    QCOMPARE(folder.column("Select * From Street"), QStringList{"LANE"});
}

void TestReentry::detailsButtonWhileTheQuestionShows_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("box");  // 1: the question, 2: "Rcord Successfully Inserted"
    // Then "Data Entry" and the first two windows of a new listing, through to its
    // details window, in which something is typed.
    QTest::addColumn<bool>("newListing");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("nextListing");  // the old window opened the first window again
    // A window closed while its question waited stores nothing when the question is
    // answered: its listing was left; one closed after the row was stored goes no further.
    QTest::newRow("Back Main Menu") << "Command2" << 1 << false << 0 << false;
    QTest::newRow("Subnmit again") << "Command1" << 1 << false << 1 << true;
    QTest::newRow("Back Main Menu, then a new listing") << "Command2" << 1 << true << 0 << false;
    QTest::newRow("Back Main Menu at the stored message, then a new listing")
        << "Command2" << 2 << true << 1 << false;
}

void TestReentry::detailsButtonWhileTheQuestionShows() {
    QFETCH(QString, button);
    QFETCH(int, box);
    QFETCH(bool, newListing);
    QFETCH(int, rows);
    QFETCH(bool, nextListing);
    TestFolder folder;
    EntrySession session(folder);
    session.openEntry();
    session.messages().answer({Answer::Yes, Answer::Yes});
    session.passPart1({}, {}, {});
    session.passPart2(QStringList(9, QString()));
    QVERIFY(session.isOpen("Part3"));
    session.messages().clear();

    const auto startAnother = [&] {
        session.openEntry();
        session.passPart1("NSW", "Herald", "1/1/99");
        session.passPart2(QStringList(9, QStringLiteral("new")));
        session.typeInto("Part3", "Text1(0)", "NEW");
    };
    PressDuringBox press(
        session.messages(), session.app().window("Part3"),
        [&] { return session.control<QAbstractButton>("Part3", button); }, box,
        newListing ? std::function<void()>(startAnother) : std::function<void()>());
    // Yes to the question about the empty fields, and to a second one should it come.
    session.messages().answer({Answer::Yes, Answer::Yes});
    session.click("Part3", "Command1");
    QStringList texts = {"One or More field(s) is/are Empty. Are You Sure to Insert"};
    if (rows > 0)
        texts.append("Rcord Successfully Inserted");
    QCOMPARE(session.messages().texts(), texts);
    QVERIFY(press.thereAtAnswer());
    const QList<QStringList> stored = folder.rows("SELECT * FROM Data");
    QCOMPARE(stored.size(), rows);
    if (rows > 0)  // the old listing's own values, none of the new one's
        QCOMPARE(QStringList({stored.first().at(0), stored.first().at(14)}),
                 QStringList({"x", "x"}));
    QVERIFY(press.gone());
    QCOMPARE(session.isOpen("Part1"), nextListing);
    QCOMPARE(session.isOpen("Part3"), newListing);
    if (newListing)
        QCOMPARE(session.text("Part3", "Text1(0)"), QStringLiteral("NEW"));
}

// A menu that an accessibility client opened, and whose item it pressed, is closed
// before the item's command runs: left open, it would stay drawn over the windows and
// take the next clicks.
void TestReentry::menuOpenedAccessiblyClosesFirst() {
    TestFolder folder;
    EntrySession session(folder);
    QMenuBar* bar = session.app().frame().menuBar();
    QAccessibleInterface* master = accessibleChild(bar, "Master");
    QVERIFY(master && master->actionInterface());
    master->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    auto* menu = bar->findChild<QMenu*>("nMaster");
    QTRY_VERIFY(menu->isVisible());
    QAccessibleInterface* street = accessibleChild(menu, "Street");
    QVERIFY(street && street->actionInterface());
    bool menuOpenAtCommand = true;
    QObject::connect(session.app().menuItem("mStreet"), &QAction::triggered, menu,
                     [&] { menuOpenAtCommand = menu->isVisible(); });
    street->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    QVERIFY(session.isOpen("Street"));
    QVERIFY(!menuOpenAtCommand);
    QVERIFY(!menu->isVisible());
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

QTEST_MAIN(TestReentry)
#include "reentry.moc"

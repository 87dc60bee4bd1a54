// Buttons pressed while a window's own message box waits for an answer. A modal box
// stops the keyboard and the mouse, but not a screen reader or an automation client
// that presses buttons through the accessibility interface.
#include <QAbstractButton>
#include <QAccessible>
#include <QEventLoop>
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

// While the first box shows, presses the button; records whether the window was
// still there when the box was answered.
class PressDuringBox {
public:
    PressDuringBox(ScriptedMessages& messages, QWidget* window,
                   std::function<QAbstractButton*()> button)
        : messages_(messages), window_(window) {
        messages.whileShown([this, button](const shell::Message&) {
            if (std::exchange(pressed_, true))
                return;
            pressAccessibly(button());
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
    bool pressed_ = false;
    bool thereAtAnswer_ = false;
};

}  // namespace

class TestReentry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void endWhileTheEditorsMessageShows();
    void detailsButtonWhileTheQuestionShows_data();
    void detailsButtonWhileTheQuestionShows();
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
    QTest::newRow("Back Main Menu") << "Command2";
    QTest::newRow("Subnmit again") << "Command1";
}

void TestReentry::detailsButtonWhileTheQuestionShows() {
    QFETCH(QString, button);
    TestFolder folder;
    EntrySession session(folder);
    session.openEntry();
    session.messages().answer({Answer::Yes, Answer::Yes});
    session.passPart1({}, {}, {});
    session.passPart2(QStringList(9, QString()));
    QVERIFY(session.isOpen("Part3"));
    session.messages().clear();

    PressDuringBox press(session.messages(), session.app().window("Part3"),
                         [&] { return session.control<QAbstractButton>("Part3", button); });
    // Yes to the question about the empty fields, and to a second one should it come.
    session.messages().answer({Answer::Yes, Answer::Yes});
    session.click("Part3", "Command1");
    QCOMPARE(session.messages().texts(),
             QStringList({"One or More field(s) is/are Empty. Are You Sure to Insert",
                          "Rcord Successfully Inserted"}));
    QVERIFY(press.thereAtAnswer());
    QCOMPARE(folder.rows("SELECT * FROM Data").size(), 1);
    QVERIFY(!session.isOpen("Part3"));
    QVERIFY(press.gone());
    QVERIFY(session.isOpen("Part1"));
}

QTEST_MAIN(TestReentry)
#include "reentry.moc"

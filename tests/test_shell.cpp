// The shell's rules through the real main frame: the menu, the one-instance and
// fresh-reload rules, placement, the keyboard, and failures that abandon only
// the action that failed.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "db/dberror.h"
#include "shell/childwindow.h"
#include "shell/commandbutton.h"
#include "shell/dbconnect.h"
#include "shell/failure.h"
#include "shell/keypress.h"
#include "shell/twips.h"
#include "support/appharness.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

using shell::ControlSpec;
using shell::Kind;

namespace {

// A child window kind of the tests' own, following the load pattern.
class ProbeWindow : public shell::ChildWindow {
public:
    static inline int loads = 0;
    static inline bool failLoad = false;
    static inline double height = 4000;
    int presses = 0;

    ProbeWindow() : ChildWindow(QStringLiteral("Probe"), QStringLiteral("Probe Window")) {
        // Declared out of tab order on purpose: the tab positions decide the order.
        static const ControlSpec specs[] = {
            {"Picture1", Kind::Picture, "", 0, 0, 7700, 680, 0},
            {"Label1", Kind::Label, "Name :", 100, 800, 1500, 300, 1},
            {"Text1(1)", Kind::TextBox, "", 1700, 1300, 3000, 360, 3},
            {"Text1(0)", Kind::TextBox, "", 1700, 800, 3000, 360, 2, "Label1"},
            {"Command1", Kind::Button, "&Submit", 1700, 3000, 1500, 400, 4},
        };
        build(specs);
        connect(controls().get<shell::CommandButton>("Command1"), &QPushButton::clicked, this,
                [this] { ++presses; });
    }

    void formLoad() override {
        ++loads;
        setSizeTwips(7700, height);
        placeOnScreen();
        showHeaderPicture(controls().get<QLabel>("Picture1"), QStringLiteral("head1.jpg"));
        if (failLoad)
            throw db::DbError(QStringLiteral("no such table: State"));
    }
};

ProbeWindow* openProbe(AppHarness& app) {
    return static_cast<ProbeWindow*>(app.frame().windows().open(QStringLiteral("Probe")));
}

}  // namespace

class TestShell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menuTree();
    void frameFillsTheScreen();
    void exitAsksNothing();
    void openLoadsOnceAndReopenStartsAfresh();
    void closeBoxUnloads();
    void closingTheFrameClosesEveryChild();
    void placementKeepsFractions();
    void failedLoadLeavesNoWindow();
    void missingPictureIsAFailure();
    void firstFocusAndTabOrder();
    void enterPressesAFocusedButton();
    void keyPressCanChangeOrSwallow();
    void workAreaScrollsToATallWindow();
    void menuItemsOfWindowsNotBuiltDoNothing();

private:
    std::unique_ptr<TestFolder> folder_;
    std::unique_ptr<AppHarness> app_;
};

void TestShell::init() {
    ProbeWindow::loads = 0;
    ProbeWindow::failLoad = false;
    ProbeWindow::height = 4000;
    folder_ = std::make_unique<TestFolder>();
    app_ = std::make_unique<AppHarness>(folder_->path());
    app_->frame().windows().define(QStringLiteral("Probe"), [] { return new ProbeWindow; });
}

void TestShell::cleanup() {
    app_.reset();
    folder_.reset();
}

void TestShell::menuTree() {
    struct Item {
        const char* name;
        const char* caption;
    };
    const Item bar[] = {
        {"nMaster", "Master"}, {"nDe", "Data Entry"}, {"nExport", "Export"}, {"nEx", "Exit"}};
    const Item master[] = {{"nState", "State"},
                           {"mStreet", "Street"},
                           {"nPropType", "Property Type"},
                           {"nPubName", "Publication Name"}};
    const QList<QAction*> top = app_->frame().menuBar()->actions();
    QCOMPARE(top.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(top[i]->objectName(), QLatin1String(bar[i].name));
        QCOMPARE(top[i]->text(), QLatin1String(bar[i].caption));
    }
    QVERIFY(top[0]->menu());
    for (int i = 1; i < 4; ++i)
        QVERIFY2(!top[i]->menu(), "Data Entry, Export and Exit are commands on the bar itself");
    const QList<QAction*> sub = top[0]->menu()->actions();
    QCOMPARE(sub.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(sub[i]->objectName(), QLatin1String(master[i].name));
        QCOMPARE(sub[i]->text(), QLatin1String(master[i].caption));
    }
    for (QAction* action : top + sub)
        QVERIFY2(action->shortcut().isEmpty() && !action->text().contains('&'),
                 qPrintable(action->text()));
}

void TestShell::frameFillsTheScreen() {
    Pelmar& frame = app_->frame();
    QCOMPARE(frame.windowTitle(), QStringLiteral("Pelmar - Listora - Data Entry "));
    const QSize screen = QApplication::primaryScreen()->geometry().size();
    QCOMPARE(frame.size(), screen);
    QCOMPARE(frame.pos(), QPoint(0, 0));
    const QList<QSize> sizes = frame.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
}

void TestShell::exitAsksNothing() {
    ScriptedMessages messages;
    openProbe(*app_)->controls().get<QLineEdit>("Text1(0)")->setText(QStringLiteral("typed"));
    app_->choose(QStringLiteral("nEx"));
    QVERIFY(app_->exitRequested());
    QVERIFY(messages.shown().isEmpty());
}

void TestShell::openLoadsOnceAndReopenStartsAfresh() {
    ProbeWindow* first = openProbe(*app_);
    QCOMPARE(ProbeWindow::loads, 1);
    first->controls().get<QLineEdit>("Text1(0)")->setText(QStringLiteral("typed"));
    QCOMPARE(openProbe(*app_), first);  // open again: only brought to the front
    QCOMPARE(ProbeWindow::loads, 1);
    QCOMPARE(first->controls().get<QLineEdit>("Text1(0)")->text(), QStringLiteral("typed"));
    QCOMPARE(app_->frame().workArea()->subWindowList().size(), 1);

    first->closeWindow();
    QVERIFY(!app_->window(QStringLiteral("Probe")));
    QTRY_COMPARE(app_->frame().workArea()->subWindowList().size(), 0);
    ProbeWindow* second = openProbe(*app_);
    QCOMPARE(ProbeWindow::loads, 2);
    QVERIFY(second->controls().get<QLineEdit>("Text1(0)")->text().isEmpty());
}

void TestShell::closeBoxUnloads() {
    ProbeWindow* window = openProbe(*app_);
    window->parentWidget()->close();  // the frame's own close box
    QVERIFY(!app_->window(QStringLiteral("Probe")));
    openProbe(*app_);
    QCOMPARE(ProbeWindow::loads, 2);
}

void TestShell::closingTheFrameClosesEveryChild() {
    ScriptedMessages messages;
    QPointer<ProbeWindow> window = openProbe(*app_);
    app_->frame().close();
    QVERIFY(!app_->window(QStringLiteral("Probe")));
    QTRY_VERIFY(window.isNull());
    QVERIFY(messages.shown().isEmpty());
}

void TestShell::placementKeepsFractions() {
    ProbeWindow* window = openProbe(*app_);
    const QSizeF screen = shell::screenTwips();
    QCOMPARE(window->topTwips(), double((float(screen.height()) - 4000.0f) / 3.0f));
    window->placeAgainst(10000, 5001);
    QCOMPARE(window->topTwips(), double(1001.0f / 3.0f));
    QCOMPARE(window->leftTwips(), 1150.0);
    QCOMPARE(window->parentWidget()->size(), QSize(shell::toPixels(7700), shell::toPixels(4000)));
    QCOMPARE(window->parentWidget()->pos(), QPoint(77, 22));
}

void TestShell::failedLoadLeavesNoWindow() {
    ScriptedMessages messages;
    ProbeWindow::failLoad = true;
    QVERIFY(!shell::runAction([this] { openProbe(*app_); }));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("no such table: State")});
    QVERIFY(!app_->window(QStringLiteral("Probe")));
    QCOMPARE(app_->frame().workArea()->subWindowList().size(), 0);
    // The program goes on: the next opening works.
    ProbeWindow::failLoad = false;
    QVERIFY(openProbe(*app_));
}

void TestShell::missingPictureIsAFailure() {
    ScriptedMessages messages;
    QVERIFY(QFile::remove(folder_->file(QStringLiteral("head1.jpg"))));
    QVERIFY(!shell::runAction([this] { openProbe(*app_); }));
    QVERIFY(messages.last().text.contains(QStringLiteral("head1.jpg")));
    QVERIFY(!app_->window(QStringLiteral("Probe")));
    copyPictures(folder_->path());
    QVERIFY(openProbe(*app_));
}

void TestShell::firstFocusAndTabOrder() {
    ProbeWindow* window = openProbe(*app_);
    auto* text0 = window->controls().get<QLineEdit>("Text1(0)");
    QTRY_COMPARE(QApplication::focusWidget(), text0);
    QCOMPARE(text0->accessibleName(), QStringLiteral("Name :"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window->controls().widget("Text1(1)"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window->controls().widget("Command1"));
}

void TestShell::enterPressesAFocusedButton() {
    ProbeWindow* window = openProbe(*app_);
    QWidget* button = window->controls().widget("Command1");
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter);
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(window->presses, 3);
}

void TestShell::keyPressCanChangeOrSwallow() {
    ProbeWindow* window = openProbe(*app_);
    auto* text = window->controls().get<QLineEdit>("Text1(0)");
    QList<int> codes;
    shell::onKeyPress(text, [&](int code) {
        codes.append(code);
        if (code == '#')
            return 0;
        return code >= 'a' && code <= 'z' ? code - 32 : code;
    });
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("ro#{"));
    // keyClicks takes ASCII only; a letter beyond it comes as the keyboard sends it.
    QTest::sendKeyEvent(QTest::Press, text, Qt::Key_Eacute, QStringLiteral("é"), Qt::NoModifier);
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(text->text(), QStringLiteral("RO{é"));
    QCOMPARE(codes, (QList<int>{'r', 'o', '#', '{', 0xE9, shell::kEnter}));
}

void TestShell::workAreaScrollsToATallWindow() {
    ProbeWindow::height = 16600;  // taller than the screen, and placed above its top
    ProbeWindow* window = openProbe(*app_);
    QVERIFY(window->topTwips() < 0);
    QMdiArea* area = app_->frame().workArea();
    QTRY_VERIFY(area->verticalScrollBar()->isVisible());
    // Scrolled to either end, the window's top and its bottom come into view: every
    // control in between can be reached.
    QScrollBar* bar = area->verticalScrollBar();
    QWidget* frame = window->parentWidget();
    bar->setValue(bar->minimum());
    QCOMPARE(frame->geometry().top(), 0);
    bar->setValue(bar->maximum());
    QCOMPARE(frame->geometry().bottom(), area->viewport()->rect().bottom());
}

void TestShell::menuItemsOfWindowsNotBuiltDoNothing() {
    ScriptedMessages messages;
    const char* items[] = {"nState", "mStreet", "nPropType", "nPubName", "nDe", "nExport"};
    for (const char* item : items) {
        const QString name = QLatin1String(item);
        if (name != QLatin1String("nExport") &&
            app_->frame().windows().isDefined(app_->menuItem(name)->text()))
            continue;  // built: its own tests drive it
        app_->choose(name);
    }
    QVERIFY(app_->frame().isVisible());
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"

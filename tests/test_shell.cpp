// The shell's rules through the real main frame: the menu, the one-instance and
// fresh-reload rules, placement, the keyboard, and failures that abandon only
// the action that failed.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "app/backupcommand.h"
#include "db/dberror.h"
#include "shell/action.h"
#include "shell/childwindow.h"
#include "shell/commandbutton.h"
#include "shell/keypress.h"
#include "shell/messages.h"
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
            // Too narrow for its caption, with free space to its right.
            {"Label2", Kind::Label, "A caption longer than its place", 100, 2000, 600, 300, 5},
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
    void frameCoversTheAvailableArea();
    void exitAsksNothing();
    void openLoadsOnceAndReopenStartsAfresh();
    void closeBoxUnloads();
    void closingTheFrameClosesEveryChild();
    void placementKeepsFractions();
    void failedLoadLeavesNoWindow();
    void missingPictureIsAFailure();
    void firstFocusAndTabOrder();
    void enterPressesAFocusedButton_data();
    void enterPressesAFocusedButton();
    void keyPressCanChangeOrSwallow();
    void workAreaScrollsToWhatLiesBeyond_data();
    void workAreaScrollsToWhatLiesBeyond();
    void captionsFitTheirPlaces_data();
    void captionsFitTheirPlaces();
    void messageBoxesShowPlainText();
    void aboutNamesVersionDatabaseAndLibraries();
    void backupSaysWhereTheCheckedCopyLies_data();
    void backupSaysWhereTheCheckedCopyLies();
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
    const Item bar[] = {{"nMaster", "Master"}, {"nDe", "Data Entry"}, {"nListings", "Listings"},
                        {"nExport", "Export"}, {"nEx", "Exit"},       {"nHelp", "Help"}};
    const Item master[] = {{"nState", "State"},
                           {"mStreet", "Street"},
                           {"nPropType", "Property Type"},
                           {"nPubName", "Publication Name"},
                           {"nBackup", "Back Up Database…"}};
    const Item help[] = {{"nAbout", "About PelmarEntry"}};
    const QList<QAction*> top = app_->frame().menuBar()->actions();
    QCOMPARE(top.size(), int(std::size(bar)));
    for (int i = 0; i < int(std::size(bar)); ++i) {
        QCOMPARE(top[i]->objectName(), QLatin1String(bar[i].name));
        QCOMPARE(top[i]->text(), QLatin1String(bar[i].caption));
        QVERIFY2(bool(top[i]->menu()) == (i == 0 || i == 5),
                 "every item but Master and Help is a command on the bar itself");
    }
    QList<QAction*> sub;
    for (const auto& [menu, items] :
         {std::pair{top[0]->menu(), QList<Item>(std::begin(master), std::end(master))},
          std::pair{top[5]->menu(), QList<Item>(std::begin(help), std::end(help))}}) {
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), items.size());
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(actions[i]->objectName(), QLatin1String(items[i].name));
            QCOMPARE(actions[i]->text(), QString::fromUtf8(items[i].caption));
        }
        sub += actions;
    }
    for (QAction* action : top + sub)
        QVERIFY2(action->shortcut().isEmpty() && !action->text().contains('&'),
                 qPrintable(action->text()));
}

void TestShell::frameCoversTheAvailableArea() {
    // The real frame: the offscreen platform draws a thin frame of its own.
    Pelmar& pelmar = app_->frame();
    QCOMPARE(pelmar.windowTitle(), QStringLiteral("Pelmar - Listora - Data Entry "));
    QCOMPARE(pelmar.frameGeometry(), QApplication::primaryScreen()->availableGeometry());
    QVERIFY(pelmar.geometry() != pelmar.frameGeometry());
    const QList<QSize> sizes = pelmar.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
    // Child windows carry the program's icon, not the toolkit's.
    QCOMPARE(openProbe(*app_)->parentWidget()->windowIcon().cacheKey(),
             pelmar.windowIcon().cacheKey());
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
    QVERIFY(!shell::runAction(scriptedMessages(), [this] { openProbe(*app_); }));
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
    QVERIFY(!shell::runAction(scriptedMessages(), [this] { openProbe(*app_); }));
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

void TestShell::enterPressesAFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("enter");
    QTest::newRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << true;
    QTest::newRow("Space") << int(Qt::Key_Space) << Qt::KeyboardModifiers() << false;
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return)
                                 << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
}

void TestShell::enterPressesAFocusedButton() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, enter);
    ProbeWindow* window = openProbe(*app_);
    // In a text box: the Enter path's code.
    QWidget* text = window->controls().widget("Text1(0)");
    QList<int> codes;
    shell::onKeyRead(text, [&](int code) { codes.append(code); });
    text->setFocus();
    QTest::keyClick(text, Qt::Key(key), modifiers);
    QCOMPARE(codes.contains(shell::kEnter), enter);
    // On a focused button: pressed by Enter and by Space.
    QWidget* button = window->controls().widget("Command1");
    button->setFocus();
    QTest::keyClick(button, Qt::Key(key), modifiers);
    QCOMPARE(window->presses, enter || key == Qt::Key_Space ? 1 : 0);
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

void TestShell::workAreaScrollsToWhatLiesBeyond_data() {
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("top");  // NAN: the load step's own placement
    QTest::addColumn<bool>("beyond");
    QTest::newRow("taller than the screen, placed above its top") << 16600.0 << double(NAN) << true;
    QTest::newRow("short, partly above the top") << 4000.0 << -900.0 << true;
    QTest::newRow("short, partly below the foot") << 4000.0 << 10000.0 << true;
    QTest::newRow("inside") << 4000.0 << 900.0 << false;
}

void TestShell::workAreaScrollsToWhatLiesBeyond() {
    QFETCH(double, height);
    QFETCH(double, top);
    QFETCH(bool, beyond);
    ProbeWindow::height = height;
    ProbeWindow* window = openProbe(*app_);
    if (!std::isnan(top))
        window->setTopTwips(top);
    QMdiArea* area = app_->frame().workArea();
    QScrollBar* bar = area->verticalScrollBar();
    QTRY_COMPARE(bar->isVisible(), beyond);
    // Scrolled to either end, the window's top and its foot come into view: every
    // control in between can be reached.
    QWidget* frame = window->parentWidget();
    bar->setValue(bar->minimum());
    QVERIFY(frame->geometry().top() >= 0);
    bar->setValue(bar->maximum());
    QVERIFY(frame->geometry().bottom() <= area->viewport()->rect().bottom());
}

namespace {

// The width a caption has inside its control.
int room(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->contentsRect().width();
    auto* button = qobject_cast<QAbstractButton*>(control);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (qobject_cast<QCheckBox*>(button))
        return button->style()
            ->subElementRect(QStyle::SE_CheckBoxContents, &option, button)
            .width();
    if (qobject_cast<QRadioButton*>(button))
        return button->style()
            ->subElementRect(QStyle::SE_RadioButtonContents, &option, button)
            .width();
    return button->width() - 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin);
}

}  // namespace

void TestShell::captionsFitTheirPlaces_data() {
    QTest::addColumn<QString>("window");
    for (const char* window :
         {"Probe", "Part1", "Part2", "Part3", "Street", "State", "PropType", "PubName"})
        QTest::newRow(window) << QString::fromLatin1(window);
}

void TestShell::captionsFitTheirPlaces() {
    QFETCH(QString, window);
    ScriptedMessages messages;
    shell::ChildWindow* opened = nullptr;
    QVERIFY(shell::runAction(scriptedMessages(),
                             [&] { opened = app_->frame().windows().open(window); }));
    int captions = 0;
    for (QWidget* control : opened->findChildren<QWidget*>()) {
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(control))
            caption = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            caption = button->text().remove('&');
        if (caption.isEmpty() || control->height() < 10)  // a strip, not a caption
            continue;
        ++captions;
        const int width = control->fontMetrics().horizontalAdvance(caption);
        QVERIFY2(width <= room(control), qPrintable(QStringLiteral("%1 \"%2\": %3 wide in %4")
                                                        .arg(control->objectName(), caption)
                                                        .arg(width)
                                                        .arg(room(control))));
    }
    QVERIFY(captions > 0);
}

void TestShell::aboutNamesVersionDatabaseAndLibraries() {
    ScriptedMessages messages;
    app_->choose(QStringLiteral("nAbout"));
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("About PelmarEntry"));
    const QString text = messages.last().text;
    for (const QString& part :
         {QStringLiteral("PelmarEntry " PELMAR_VERSION "\n"),
          QStringLiteral("Database: the file ") + folder_->dbPath(),
          QStringLiteral("Desk folder: ") + folder_->path(), QStringLiteral("Qt 6."),
          QStringLiteral("SQLite 3."), QStringLiteral("libpq 1"), QStringLiteral("no licence")})
        QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" in:\n") + text));
}

void TestShell::backupSaysWhereTheCheckedCopyLies_data() {
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<bool>("chosen");       // the operator takes the proposed name
    QTest::addColumn<QStringList>("said");  // parts of the one message; none: no message
    QTest::newRow("the proposed name")
        << false << true << QStringList{"is backed up", "checked", "restore"};
    QTest::newRow("the dialog cancelled") << false << false << QStringList();
    QTest::newRow("on a server") << true << false << QStringList{"pg_dump", "Nothing was copied"};
}

void TestShell::backupSaysWhereTheCheckedCopyLies() {
    QFETCH(bool, onServer);
    QFETCH(bool, chosen);
    QFETCH(QStringList, said);
    ScriptedMessages messages;
    QString proposed;
    pelmar::backUpDatabase(&app_->frame(), scriptedMessages(), onServer, folder_->dbPath(),
                           folder_->path(), [&](const QString& name) {
                               proposed = name;
                               return chosen ? name : QString();
                           });
    QCOMPARE(messages.shown().size(), said.isEmpty() ? 0 : 1);
    for (const QString& part : said)
        QVERIFY2(messages.last().text.contains(part), qPrintable(messages.last().text));
    if (onServer)
        return;
    const QString dated = folder_->file(
        QStringLiteral("Pelmar-%1.mdb").arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(proposed, dated);
    QCOMPARE(QFileInfo::exists(dated), chosen);
    if (chosen) {
        QVERIFY2(messages.last().text.contains(dated), qPrintable(messages.last().text));
        QFile copy(dated);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(copy.read(16).startsWith("SQLite format 3"));
    }
}

void TestShell::messageBoxesShowPlainText() {
    // The screen's own box, as the operator sees it.
    const QString error = QStringLiteral("near \"<\": syntax error in 'a & b <b>'");
    QString shown;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
                shown = box->textFormat() == Qt::PlainText ? box->text() : QString();
                box->accept();
            }
        }
    });
    shell::ScreenMessages().inform(error, shell::Icon::Critical);
    QCOMPARE(shown, error);
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

// The details window driven through its controls: the controls generated from its
// tables, the load step, the Enter path, the several-line box, and reaching every
// control on a screen lower than the window.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "app/pelmar.h"
#include "entrysession.h"
#include "shell/controltable.h"
#include "shell/twips.h"

using shell::Answer;
using shell::element;

namespace {

QString caption(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    return {};
}

// Where the control lies in the work area's visible part.
QWidget* workAreaView(QWidget* control) {
    return static_cast<Pelmar*>(control->window())->workArea()->viewport();
}

QRect inView(QWidget* control) {
    QWidget* viewport = workAreaView(control);
    return QRect(control->mapTo(viewport, QPoint(0, 0)), control->size());
}

bool visible(QWidget* control) {
    return workAreaView(control)->rect().contains(inView(control));
}

}  // namespace

class TestEntryDetails : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<TestFolder>();
        folder_->exec(
            "INSERT INTO PubName VALUES (' Spaced Weekly  ', 'NSW'), ('Gold Coast Bulletin', "
            "'QLD'), "
            "('Stateless', '')");
        session_ = std::make_unique<EntrySession>(*folder_);
        openDetails();
    }
    void cleanup() {
        session_.reset();
        folder_.reset();
    }

    void controlsAsTabulated_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("place");
        auto row = [](const char* name, const char* kind, const char* caption, double l, double t,
                      double w, double h) {
            QTest::newRow(name) << QString(name) << QString(kind) << QString(caption)
                                << shell::twipsRect(l, t, w, h);
        };
        row("Label1", "QLabel", "Pelmar - Listora - Data Entry ", 0, 1260, 14800, 375);
        row("Label3(0)", "QLabel", "Sale Type : ", 510, 2700, 1755, 225);
        row("Text1(6)", "QLineEdit", "", 90, 5250, 1750, 360);
        row("Label3(31)", "QLabel", "Distance To Sea/River/Cannel (km)", 11460, 7230, 2805, 225);
        row("Check1(8)", "QCheckBox", "Ducted Vaccuum", 4440, 9390, 2175, 285);
        row("Check1(10)", "QCheckBox", " Water Frontage", 8760, 8460, 2175, 285);
        row("Text1(28)", "QPlainTextEdit", "", 1530, 10440, 11475, 1350);
        row("Label4(3)", "QLabel", "Agent Contact Phone", 10770, 12240, 2325, 225);
        row("Text1(35)", "QLineEdit", "", 7950, 12930, 2385, 360);
        row("Text1(41)", "QLineEdit", "", 5280, 14670, 3405, 360);
        row("Command1", "shell::CommandButton", "Subnmit", 5160, 15510, 1965, 465);
    }
    void controlsAsTabulated() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QRect, place);
        QWidget* control = session_->control("Part3", name);
        QVERIFY(control);
        QCOMPARE(QString(control->metaObject()->className()), kind);
        QCOMPARE(::caption(control), caption);
        QCOMPARE(control->geometry(), place);
    }

    void tabVisitsEveryInputInOrder() {
        QStringList expected = {"Combo1"};
        for (int i = 0; i <= 27; ++i)
            expected.append(element("Text1", i));
        for (int i = 0; i <= 18; ++i)
            expected.append(element("Check1", i));
        for (int i = 28; i <= 40; ++i)
            expected.append(element("Text1", i));
        expected << "Combo2"
                 << "Text1(41)"
                 << "Command1"
                 << "Command2";
        QStringList visited = {session_->focused().section('.', 1)};
        while (visited.size() < expected.size()) {
            session_->press(Qt::Key_Tab);
            visited.append(session_->focused().section('.', 1));
        }
        QCOMPARE(visited, expected);
    }

    void loadStep() {
        shell::ChildWindow* part3 = session_->app().window("Part3");
        QCOMPARE(part3->windowTitle(), QStringLiteral("Data Entry Form - 3"));
        // Against the left edge, a third of the way down even when that is above the
        // work area: the offscreen screen is lower than the window.
        const float screen = float(shell::screenTwips().height());
        QVERIFY(screen < 16600);
        QCOMPARE(part3->heightTwips(), 16600.0);
        QCOMPARE(part3->widthTwips(), 14805.0);
        QCOMPARE(part3->leftTwips(), 0.0);
        QCOMPARE(part3->topTwips(), double(float((screen - 16600.0f) / 3.0f)));
        auto* picture = session_->control<QLabel>("Part3", "Picture1");
        QCOMPARE(picture->height(), shell::toPixels(1200));
        QVERIFY(!picture->pixmap().isNull());
        QComboBox* saleTypes = session_->combo("Part3", "Combo1");
        QComboBox* publications = session_->combo("Part3", "Combo2");
        QCOMPARE(saleTypes->count(), 5);
        QCOMPARE(saleTypes->itemText(1), QStringLiteral("Mortgagee Sale"));
        // Every publication, as stored.
        QCOMPARE(publications->count(), 3);
        QCOMPARE(publications->itemText(0), QStringLiteral(" Spaced Weekly  "));
        QCOMPARE(saleTypes->currentText(), QString());
        QCOMPARE(publications->currentText(), QString());
        QVERIFY(!session_->control<QCheckBox>("Part3", "Check1(0)")->isChecked());
    }

    void enterPathSkipsChecksAndPublicationList() {
        session_->control("Part3", "Text1(0)")->setFocus();
        for (int i = 0; i <= 41; ++i) {
            session_->type(QStringLiteral("v%1").arg(i));
            session_->enter();
            QCOMPARE(session_->focused(),
                     QStringLiteral("Part3.") + (i < 41 ? element("Text1", i + 1) : "Command1"));
        }
        // Enter in the several-line box moved on and left no line break; Enter in the
        // last box did not submit.
        QCOMPARE(session_->text("Part3", "Text1(28)"), QStringLiteral("v28"));
        QVERIFY(session_->messages().shown().isEmpty());
        QVERIFY(session_->isOpen("Part3"));
    }

    void lineBreaksInAdditionalDetails() {
        session_->control("Part3", "Text1(28)")->setFocus();
        session_->type("one");
        session_->press(Qt::Key_Return, Qt::ControlModifier);
        session_->type("two");
        session_->press(Qt::Key_Return, Qt::ShiftModifier);
        session_->type("three\u00a0four");
        QCOMPARE(session_->text("Part3", "Text1(28)"), QStringLiteral("one\ntwo\nthree\u00a0four"));
        QCOMPARE(session_->focused(), QStringLiteral("Part3.Text1(28)"));
    }

    void everyControlCanBeScrolledIntoView() {
        QMdiArea* area = session_->app().frame().workArea();
        QWidget* submit = session_->control("Part3", "Command1");
        QWidget* top = session_->control("Part3", "Combo1");
        QVERIFY(area->viewport()->height() < session_->app().window("Part3")->height());
        QScrollBar* bar = area->verticalScrollBar();
        // The wheel scrolls the work area; a list under the pointer hands it on to the
        // area, its choice unchanged.
        QComboBox* saleTypes = session_->combo("Part3", "Combo1");
        for (QWidget* under : {static_cast<QWidget*>(saleTypes), area->viewport()}) {
            for (int turn = 0; turn < 40 && !visible(submit); ++turn) {
                QWheelEvent wheel(QPointF(5, 5), under->mapToGlobal(QPointF(5, 5)), {},
                                  QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                                  false);
                QApplication::sendEvent(under, &wheel);
                QCOMPARE(wheel.isAccepted(), under != saleTypes);
            }
        }
        QVERIFY(visible(submit));
        QCOMPARE(saleTypes->currentIndex(), -1);
        bar->setValue(bar->maximum());
        QVERIFY(visible(submit));
        bar->setValue(bar->minimum());
        QVERIFY(visible(top));
        QVERIFY(!visible(submit));
        // Moving with the keyboard brings the focused control into view.
        session_->control("Part3", "Text1(40)")->setFocus();
        session_->enter();
        session_->enter();
        QCOMPARE(session_->focused(), QStringLiteral("Part3.Command1"));
        QVERIFY(visible(submit));
        session_->press(Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(visible(session_->control("Part3", "Text1(41)")));
        top->setFocus();
        QVERIFY(visible(top));
    }

    void backDiscardsAndTheNextPassIsFresh() {
        session_->typeInto("Part3", "Text1(0)", "250000");
        session_->click("Part3", "Check1(3)");
        session_->takeStatements();
        session_->click("Part3", "Command2");
        QVERIFY(!session_->isOpen("Part3"));
        QVERIFY(session_->takeStatements().isEmpty());
        QVERIFY(folder_->rows("SELECT * FROM Data").isEmpty());
        openDetails();
        QCOMPARE(session_->text("Part3", "Text1(0)"), QString());
        QVERIFY(!session_->control<QCheckBox>("Part3", "Check1(3)")->isChecked());
    }

    // Nothing typed or pasted is cut, whatever its length; NUL characters, which no
    // engine keeps inside a text and nobody can see, are dropped as they come in.
    void fieldsTakeAnyTextButNul_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("stored");
        const QString longText = QString(99'999, QChar(u'y')) + QStringLiteral("z");
        const QString odd = QStringLiteral("a\tb \U0001F600 c");
        QString withNul = odd;
        withNul.insert(1, QChar(u'\0')).append(QChar(u'\0'));
        QTest::newRow("additional details, long") << "Text1(28)" << 61 << longText << longText;
        QTest::newRow("text box, long") << "Text1(2)" << 16 << longText << longText;
        QTest::newRow("publication list, long") << "Combo2" << 74 << longText << longText;
        QTest::newRow("additional details, NUL") << "Text1(28)" << 61 << withNul << odd;
        QTest::newRow("text box, NUL") << "Text1(2)" << 16 << withNul << odd;
        QTest::newRow("sale type list, NUL") << "Combo1" << 13 << withNul << odd;
        // Half a surrogate pair becomes U+FFFD as it comes in; a line separator stays.
        const QString half = QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("'b") +
                             QChar(0xDE00) + QStringLiteral("'");
        const QString replaced = QStringLiteral("a\uFFFD'b\uFFFD'");
        QTest::newRow("additional details, half a pair") << "Text1(28)" << 61 << half << replaced;
        QTest::newRow("text box, half a pair") << "Text1(2)" << 16 << half << replaced;
        QTest::newRow("publication list, half a pair") << "Combo2" << 74 << half << replaced;
        const QString separated = QStringLiteral("one\u2028two");
        QTest::newRow("additional details, line separator")
            << "Text1(28)" << 61 << separated << separated;
    }
    void fieldsTakeAnyTextButNul() {
        QFETCH(QString, field);
        QFETCH(int, column);
        QFETCH(QString, pasted);
        QFETCH(QString, stored);
        QApplication::clipboard()->setText(pasted);
        session_->control("Part3", field)->setFocus();
        session_->press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(session_->text("Part3", field), stored);
        session_->messages().answer({Answer::Yes});
        session_->click("Part3", "Command1");
        const QList<QStringList> rows = folder_->rows("SELECT * FROM Data");
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(column).size(), stored.size());
        QCOMPARE(rows.first().at(column), stored);
    }

private:
    // Through the first two windows with every field left empty.
    void openDetails() {
        session_->openEntry();
        session_->messages().answer({Answer::Yes, Answer::Yes});
        session_->passPart1({}, {}, {});
        session_->passPart2(QStringList(9, QString()));
        QVERIFY(session_->isOpen("Part3"));
        session_->messages().clear();
    }

    std::unique_ptr<TestFolder> folder_;
    std::unique_ptr<EntrySession> session_;
};

QTEST_MAIN(TestEntryDetails)
#include "entrydetails.moc"

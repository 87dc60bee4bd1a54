#include "entrysession.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "entry/entrywindow.h"
#include "shell/controltext.h"
#include "shell/desk.h"

EntrySession::EntrySession(const QString& exeFolder)
    : app_(std::make_unique<AppHarness>(exeFolder)) {
    app_->store().setTrace([this](const QString& statement) { statements_.append(statement); });
}

EntrySession::~EntrySession() {
    app_->store().setTrace({});
    app_.reset();
}

QWidget* EntrySession::control(const QString& window, const QString& name) const {
    shell::ChildWindow* w = app_->window(window);
    return w ? w->controls().widget(name) : nullptr;
}

QString EntrySession::text(const QString& window, const QString& name) const {
    return shell::textOf(control(window, name));
}

QString EntrySession::focused() const {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (auto* window = qobject_cast<shell::ChildWindow*>(w->parentWidget()))
            return window->objectName() + QLatin1Char('.') + w->objectName();
    }
    return {};
}

void EntrySession::type(const QString& keys) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY2(target, "no control has the focus");
    for (const QChar c : keys) {
        // A line break is typed as Ctrl+Enter. QTest knows the keys of ASCII only;
        // other letters come as their text alone.
        if (c == QLatin1Char('\n'))
            QTest::keyClick(target, Qt::Key_Return, Qt::ControlModifier);
        else if (c.unicode() < 0x80)
            QTest::keyClick(target, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void EntrySession::press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY2(target, "no control has the focus");
    QTest::keyClick(target, key, modifiers);
}

void EntrySession::typeInto(const QString& window, const QString& name, const QString& keys) {
    QWidget* field = control(window, name);
    QVERIFY2(field, qPrintable(name));
    field->setFocus(Qt::MouseFocusReason);
    type(keys);
}

void EntrySession::click(const QString& window, const QString& name) {
    QWidget* button = control(window, name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void EntrySession::pick(const QString& window, const QString& name, int row) {
    QComboBox* box = combo(window, name);
    QVERIFY2(box, qPrintable(name));
    box->setFocus(Qt::MouseFocusReason);
    box->showPopup();
    // The list is on the screen before an operator can click into it.
    QCoreApplication::processEvents();
    QAbstractItemView* view = box->view();
    const QRect place = view->visualRect(box->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
}

void EntrySession::passPart1(const QString& state, const QString& publication,
                             const QString& date) {
    for (const QString& value : {state, publication, date}) {
        type(value);
        enter();
    }
    enter();  // on Submit
}

void EntrySession::passPart2(const QStringList& nineFields) {
    for (const QString& value : nineFields) {
        type(value);
        enter();
    }
    enter();
}

#include "lookupsession.h"

#include <QApplication>
#include <QTest>

#include "shell/desk.h"

LookupSession::LookupSession(const TestFolder& folder, const QString& menuItem,
                             const QString& window)
    : app_(std::make_unique<AppHarness>(folder.path())) {
    app_->store().setTrace([this](const QString& statement) { statements_.append(statement); });
    open(menuItem, window);
}

LookupSession::~LookupSession() {
    app_->store().setTrace(nullptr);
    app_.reset();
}

void LookupSession::open(const QString& menuItem, const QString& window) {
    window_ = window;
    app_->choose(menuItem);
    if (!isOpen())
        qFatal("the window %s did not open", qPrintable(window));
    QTRY_VERIFY(app_->window(window)->isActiveWindow());
    statements_.clear();
}

bool LookupSession::isOpen() const {
    return app_->window(window_) != nullptr;
}

QStringList LookupSession::takeStatements() {
    QStringList taken;
    taken.swap(statements_);
    return taken;
}

QLineEdit* LookupSession::text1() const {
    return app_->control<QLineEdit>(window_, "Text1(0)");
}
QComboBox* LookupSession::combo1() const {
    return app_->control<QComboBox>(window_, "Combo1");
}
QListWidget* LookupSession::list1() const {
    return app_->control<QListWidget>(window_, "List1");
}
QPushButton* LookupSession::button(int index) const {
    return app_->control<QPushButton>(window_, QStringLiteral("Command1(%1)").arg(index));
}
QLabel* LookupSession::label(const QString& name) const {
    return app_->control<QLabel>(window_, name);
}

QString LookupSession::focused() const {
    QWidget* widget = QApplication::focusWidget();
    if (!widget)
        return {};
    if (widget->objectName().isEmpty() && qobject_cast<QComboBox*>(widget->parentWidget()))
        widget = widget->parentWidget();
    return widget->objectName();
}

QStringList LookupSession::listed() const {
    QStringList entries;
    for (int row = 0; row < list1()->count(); ++row)
        entries.append(list1()->item(row)->text());
    return entries;
}

QString LookupSession::selected() const {
    const QList<QListWidgetItem*> items = list1()->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

void LookupSession::type(const QString& keys) {
    typeInto(text1(), keys);
}

void LookupSession::typeInto(QWidget* control, const QString& keys) {
    control->setFocus();
    // Each character as the keyboard sends it: the key of its capital, its own text.
    for (const QChar c : keys)
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
}

void LookupSession::pressEnter(QWidget* control) {
    QTest::keyClick(control ? control : QApplication::focusWidget(), Qt::Key_Return);
}

void LookupSession::click(int index) {
    QTest::mouseClick(button(index), Qt::LeftButton);
}

void LookupSession::doubleClick(int row) {
    QListWidgetItem* item = list1()->item(row);
    list1()->scrollToItem(item);
    // The visible part of the entry: a long one reaches far beyond the list's edge.
    const QPoint at =
        list1()->visualItemRect(item).intersected(list1()->viewport()->rect()).center();
    QTest::mouseClick(list1()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list1()->viewport(), Qt::LeftButton, {}, at);
}

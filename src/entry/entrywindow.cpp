#include "entrywindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalBlocker>

#include "db/store.h"
#include "shell/action.h"
#include "shell/blanks.h"
#include "shell/controltext.h"
#include "shell/desk.h"
#include "shell/keypress.h"
#include "shell/messages.h"
#include "shell/windows.h"

namespace entry {

QList<QStringList> EntryWindow::tableRows(const QString& table) {
    return desk().store().readTable(table, true);
}

QStringList EntryWindow::firstColumn(const QString& table) {
    QStringList values;
    for (const QStringList& row : tableRows(table))
        values.append(row.value(0));
    return values;
}

void EntryWindow::showHeader(const QString& fileName, double heightTwips) {
    showHeaderPicture(controls_.get<QLabel>(QStringLiteral("Picture1")), fileName, heightTwips);
}

void EntryWindow::fillList(const QString& name, const QStringList& items) {
    QComboBox* box = combo(name);
    // Filling is not the operator's choice: no handler may take it for one.
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(items);
    // Adding the first entry chose it; the list starts with nothing chosen.
    box->setCurrentIndex(-1);
    box->clearEditText();
}

QString EntryWindow::trimmedText(const QString& name) const {
    return shell::trimBlanks(shell::textOf(controls_.widget(name)));
}

QStringList EntryWindow::trimmedTexts(const QStringList& names) const {
    QStringList texts;
    for (const QString& name : names)
        texts.append(trimmedText(name));
    return texts;
}

void EntryWindow::onClick(const QString& button, std::function<void()> handler) {
    connect(controls_.get<QAbstractButton>(button), &QAbstractButton::clicked, this,
            shell::guarded(this, std::move(handler)));
}

void EntryWindow::focus(const QString& name) const {
    controls_.widget(name)->setFocus(Qt::OtherFocusReason);
}

void EntryWindow::moveOnEnter(int code, const QString& next) const {
    if (code == shell::kEnter)
        focus(next);
}

bool EntryWindow::goAheadDespiteEmpty(int emptyFields) const {
    return emptyFields == 0 || (messages().askYes(QStringLiteral(
                                    "One or More field(s) is/are Empty. Are You Sure to Insert")) &&
                                isCurrent());
}

int EntryWindow::countEmpty(const QStringList& values) {
    return int(values.count(QString()));
}

void EntryWindow::handOnTo(const QString& next) {
    windows().open(next, [this](shell::ChildWindow* window) {
        static_cast<EntryWindow*>(window)->listing_ = listing_;
    });
    closeWindow();
}

}  // namespace entry

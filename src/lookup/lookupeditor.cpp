#include "lookupeditor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "db/store.h"
#include "shell/action.h"
#include "shell/blanks.h"
#include "shell/desk.h"
#include "shell/keypress.h"
#include "shell/messages.h"
#include "shell/storedcheck.h"
#include "shell/texts.h"

namespace lookup {

namespace {

enum Button { Clear, Update, Delete, End };

}  // namespace

LookupEditor::LookupEditor(const EditorDescription& description)
    : ChildWindow(description.window, description.caption), description_(description) {
    build(description.controls);
    picture1_ = controls_.get<QLabel>(QStringLiteral("Picture1"));
    text1_ = controls_.get<QLineEdit>(shell::element(QStringLiteral("Text1"), 0));
    combo1_ = controls_.get<QComboBox>(QStringLiteral("Combo1"));
    list1_ = controls_.get<QListWidget>(QStringLiteral("List1"));
    count_ = controls_.get<QLabel>(description.countLabel);
    if (QWidget* inside = controls_.widget(description.insidePicture)) {
        // Same place: the picture sits at the window's top left corner.
        const QRect place = inside->geometry();
        inside->setParent(picture1_);
        inside->setGeometry(place);
    }

    for (int index = 0; index < int(command1_.size()); ++index) {
        command1_[index] =
            controls_.get<QPushButton>(shell::element(QStringLiteral("Command1"), index));
        connect(command1_[index], &QPushButton::clicked, this,
                shell::guarded(this, [this, index] { Command1_Click(index); }));
    }
    connect(text1_, &QLineEdit::textChanged, this,
            shell::guarded(this, [this] { Text1_Change(0); }));
    shell::onKeyPress(text1_, [this](int keyAscii) { return Text1_KeyPress(0, keyAscii); });
    connect(list1_, &QListWidget::doubleClicked, this,
            shell::guarded(this, [this] { List1_DblClick(); }));
    if (combo1_)
        shell::onKeyPress(combo1_, [this](int keyAscii) { return Combo1_KeyPress(keyAscii); });
}

void LookupEditor::formLoad() {
    setSizeTwips(description_.width, description_.height);
    placeOnScreen();
    showHeaderPicture(picture1_, QStringLiteral("head1.jpg"));
    Initials();
    ListUpd();
    if (combo1_)
        CmbLoad();
}

// --- statements -------------------------------------------------------------

void LookupEditor::Initials() {
    TblName = description_.table;
    FldName = description_.keyColumn;
}

QString LookupEditor::editValue() const {
    return shell::trimBlanks(text1_->text());
}

QString LookupEditor::stateValue() const {
    return combo1_ ? shell::trimBlanks(combo1_->currentText()) : QString();
}

QStringList LookupEditor::rowValues() const {
    QStringList values{editValue()};
    if (combo1_)
        values.append(stateValue());
    return values;
}

db::LookupTable LookupEditor::table() const {
    return {TblName, FldName};
}

// --- list and edit box ------------------------------------------------------

void LookupEditor::ListUpd() {
    // Read first: a refill that fails leaves the list and its count as they were.
    QStringList entries;
    for (const QStringList& row : desk().store().readTable(TblName, false))
        entries.append(row.value(0));
    if (combo1_) {
        for (QString& entry : entries)
            entry = shell::trimBlanks(entry);
    }
    entries_ = std::move(entries);
    list1_->clear();
    list1_->addItems(entries_);
    count_->setText(kTotalEntries + QString::number(list1_->count()));
}

void LookupEditor::CmbLoad() {
    QStringList states;
    for (const QStringList& row : desk().store().readTable(QStringLiteral("State"), true))
        states.append(row.value(0));
    combo1_->addItems(states);
    combo1_->setCurrentIndex(-1);
}

void LookupEditor::IsExist() {
    ExistFlag = desk().store().findEntry(table(), editValue()) ? 1 : 0;
}

void LookupEditor::TblToText() {
    // A stored value with blanks around it is listed but not found: leave the edit
    // box as it is, free.
    const std::optional<QStringList> found = desk().store().findEntry(table(), editValue());
    if (!found)
        return;
    text1_->setText(found->value(0));
    if (combo1_)
        combo1_->setEditText(found->value(1));
    text1_->setEnabled(false);
    if (combo1_)
        combo1_->setFocus();
}

QListWidgetItem* LookupEditor::selectedEntry() const {
    const QList<QListWidgetItem*> selected = list1_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void LookupEditor::ListToText() {
    const QListWidgetItem* entry = selectedEntry();
    const QString chosen = entry ? shell::trimBlanks(entry->text()) : QString();
    if (chosen.isEmpty())
        return;
    if (text1_->text().isEmpty())
        text1_->setText(chosen);
    IsExist();
    TblToText();
}

void LookupEditor::Textclear() {
    text1_->setEnabled(true);
    text1_->clear();
    if (combo1_) {
        combo1_->setCurrentIndex(-1);
        combo1_->setEditText(QString());
    }
    text1_->setFocus();
}

void LookupEditor::TextChk() {
    if (editValue().isEmpty() || (combo1_ && stateValue().isEmpty()))
        messages().inform(QStringLiteral("Invalid Entry"), shell::Icon::Information);
}

// --- writing ----------------------------------------------------------------

void LookupEditor::dbUpdate() {
    // The test and the write are one step: on a shared server another operator cannot
    // store the same new entry between them.
    switch (desk().store().saveEntry(table(), rowValues())) {
        case db::Store::EntryWrite::Added:
            refillAfter(QString::fromLatin1(shell::kRecordInserted), shell::Icon::None);
            break;
        case db::Store::EntryWrite::Updated:
            refillAfter(QStringLiteral("Rcord Successfully Updated"), shell::Icon::None);
            break;
        case db::Store::EntryWrite::NotStored:
            shell::requireStored(0, QLatin1Char('\'') + editValue() + QLatin1Char('\''), TblName);
            break;
        case db::Store::EntryWrite::Gone:
            // The entry went between the test and the write, at another desk.
            ListUpd();
            notFound();
            break;
    }
    command1_[Clear]->setFocus();
}

void LookupEditor::refillAfter(const QString& done, shell::Icon icon) {
    // The write is done whatever the refill meets: the operator hears of it first, and
    // then of the failed refill, with the list as it was.
    try {
        ListUpd();
    } catch (const base::Failure&) {
        messages().inform(done, icon);
        throw;
    }
    messages().inform(done, icon);
}

void LookupEditor::dbDelete() {
    if (desk().store().removeEntry(table(), editValue())) {
        refillAfter(QStringLiteral("Record Successfully Deleted"), shell::Icon::Exclamation);
    } else {
        // Not there, or deleted at another desk since the list was read.
        ListUpd();
        notFound();
    }
    command1_[Clear]->setFocus();
}

void LookupEditor::notFound() {
    messages().inform(QStringLiteral("Record Not found"), shell::Icon::Exclamation);
}

// --- events -----------------------------------------------------------------

void LookupEditor::Command1_Click(int index) {
    switch (index) {
        case Clear:
            Textclear();
            break;
        case Update:
            if (editValue().isEmpty()) {
                messages().inform(description_.emptyOnUpdate, shell::Icon::Exclamation);
                text1_->setFocus();
                return;
            }
            TextChk();
            dbUpdate();
            break;
        case Delete:
            if (messages().askYes(QStringLiteral("Are You Sure to Delete"), shell::Answer::Yes))
                dbDelete();
            break;
        case End:
            closeWindow();
            break;
    }
}

void LookupEditor::Text1_Change(int) {
    // The first entry that begins with the text, regardless of case; none for an
    // empty text, as the list box's own prefix search does.
    const QString text = text1_->text();
    int found = -1;
    if (!text.isEmpty()) {
        for (int row = 0; row < entries_.size() && found < 0; ++row) {
            if (entries_.at(row).startsWith(text, Qt::CaseInsensitive))
                found = row;
        }
    }
    if (found < 0) {
        list1_->setCurrentRow(-1);
        list1_->clearSelection();
        return;
    }
    list1_->setCurrentRow(found);
    list1_->scrollToItem(list1_->item(found));
}

int LookupEditor::Text1_KeyPress(int, int keyAscii) {
    if (keyAscii >= 'a' && keyAscii <= 'z')
        return keyAscii - ('a' - 'A');
    if (keyAscii == shell::kEnter)
        Text1_Enter();
    return keyAscii;
}

void LookupEditor::Text1_Enter() {
    if (editValue().isEmpty()) {
        messages().inform(description_.emptyOnEnter, shell::Icon::Exclamation);
        text1_->setFocus();
        return;
    }
    // Enter completes a typed beginning to the entry the search has selected.
    if (const QListWidgetItem* entry = selectedEntry())
        text1_->setText(shell::trimBlanks(entry->text()));
    IsExist();
    if (ExistFlag == 1)
        TblToText();
    if (combo1_) {
        combo1_->setFocus();
        return;
    }
    ListToText();
    command1_[Update]->setFocus();
}

void LookupEditor::List1_DblClick() {
    if (const QListWidgetItem* entry = selectedEntry())
        text1_->setText(shell::trimBlanks(entry->text()));
    ListToText();
}

int LookupEditor::Combo1_KeyPress(int keyAscii) {
    if (keyAscii == shell::kEnter)
        command1_[Update]->setFocus();
    return keyAscii;
}

}  // namespace lookup

#include "lookupeditor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "db/sqlliteral.h"
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

QStringList LookupEditor::rowLiterals() const {
    QStringList values{db::sqlText(editValue())};
    if (combo1_)
        values.append(db::sqlText(stateValue()));
    return values;
}

QString LookupEditor::MakeGenStr() const {
    return QStringLiteral("Select * From ") + TblName + QLatin1Char(';');
}

QString LookupEditor::MakeFindStr() const {
    return QStringLiteral("Select * from ") + TblName + QStringLiteral(" where ") +
           FldName.trimmed() + QLatin1Char('=') + db::sqlText(editValue()) + QLatin1Char(';');
}

QString LookupEditor::MakeInsStr() const {
    return QStringLiteral("insert into ") + TblName + QStringLiteral(" values (") +
           rowLiterals().join(QLatin1Char(',')) + QStringLiteral(");");
}

QString LookupEditor::MakeUpdStr() const {
    // The columns set are named as the table names them, not as the program does.
    // Their names come from the table's layout: reading the whole table under its
    // lock only to learn them would hold every other desk's editor up for as long.
    const QStringList columns = desk().store().connection().columnNames(TblName);
    const QStringList values = rowLiterals();
    QStringList assignments;
    for (int position = 0; position < values.size(); ++position)
        assignments.append(columns.at(position) + QLatin1Char('=') + values.at(position));
    return QStringLiteral("Update ") + TblName + QStringLiteral(" Set ") +
           assignments.join(QStringLiteral(", ")) + QStringLiteral(" Where ") + FldName +
           QLatin1Char('=') + values.first() + QLatin1Char(';');
}

void LookupEditor::openRs(const QString& statement) {
    if (Rs.isOpen())
        Rs.close();
    Rs.open(statement, desk().store().connection());
}

// --- list and edit box ------------------------------------------------------

void LookupEditor::ListUpd() {
    // Read first: a refill that fails leaves the list and its count as they were.
    QStringList entries = db::columnValues(Rs, MakeGenStr(), desk().store().connection());
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
    combo1_->addItems(
        db::columnValues(Rs, QStringLiteral("Select * from State;"), desk().store().connection()));
    combo1_->setCurrentIndex(-1);
}

void LookupEditor::IsExist() {
    openRs(MakeFindStr());
    ExistFlag = Rs.eof() ? 0 : 1;
    Rs.close();
}

void LookupEditor::TblToText() {
    openRs(MakeFindStr());
    // A stored value with blanks around it is listed but not found: leave the edit
    // box as it is, free.
    if (!Rs.eof()) {
        text1_->setText(Rs.value(0));
        if (combo1_)
            combo1_->setEditText(Rs.value(1));
        text1_->setEnabled(false);
        if (combo1_)
            combo1_->setFocus();
    }
    Rs.close();
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
        shell::inform(QStringLiteral("Invalid Entry"), shell::Icon::Information);
}

// --- writing ----------------------------------------------------------------

void LookupEditor::dbUpdate() {
    QString done;
    bool touched = true;
    // The test and the write are one step: on a shared server another operator cannot
    // store the same new entry between them.
    desk().store().connection().withTableLock(TblName, [this, &done, &touched] {
        IsExist();
        if (ExistFlag != 0) {
            openRs(MakeUpdStr());
            touched = Rs.rowsAffected() != 0;
            done = QStringLiteral("Rcord Successfully Updated");
        } else {
            openRs(MakeInsStr());
            shell::requireStored(Rs.rowsAffected(), db::sqlText(editValue()), TblName);
            done = QString::fromLatin1(shell::kRecordInserted);
        }
    });
    // An update that touched no row found the entry gone after all.
    if (touched) {
        refillAfter(done, shell::Icon::None);
    } else {
        ListUpd();
        notFound();
    }
    command1_[Clear]->setFocus();
}

void LookupEditor::refillAfter(const QString& done, shell::Icon icon) {
    // The write is done whatever the refill meets: the operator hears of it first, and
    // then of the failed refill, with the list as it was.
    try {
        ListUpd();
    } catch (const base::Failure&) {
        shell::inform(done, icon);
        throw;
    }
    shell::inform(done, icon);
}

void LookupEditor::dbDelete() {
    IsExist();
    if (ExistFlag != 1) {
        notFound();
    } else {
        openRs(QStringLiteral("Delete * From ") + TblName + QStringLiteral(" Where ") + FldName +
               QLatin1Char('=') + db::sqlText(editValue()) + QLatin1Char(';'));
        // Another desk may have deleted it between the test and the delete.
        if (Rs.rowsAffected() != 0) {
            refillAfter(QStringLiteral("Record Successfully Deleted"), shell::Icon::Exclamation);
        } else {
            ListUpd();
            notFound();
        }
    }
    command1_[Clear]->setFocus();
}

void LookupEditor::notFound() {
    shell::inform(QStringLiteral("Record Not found"), shell::Icon::Exclamation);
}

// --- events -----------------------------------------------------------------

void LookupEditor::Command1_Click(int index) {
    switch (index) {
        case Clear:
            Textclear();
            break;
        case Update:
            if (editValue().isEmpty()) {
                shell::inform(description_.emptyOnUpdate, shell::Icon::Exclamation);
                text1_->setFocus();
                return;
            }
            TextChk();
            dbUpdate();
            break;
        case Delete:
            if (shell::askYes(QStringLiteral("Are You Sure to Delete"), shell::Answer::Yes))
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
        shell::inform(description_.emptyOnEnter, shell::Icon::Exclamation);
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

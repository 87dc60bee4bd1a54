#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "db/store.h"
#include "editordescription.h"
#include "shell/childwindow.h"
#include "shell/messages.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace lookup {

// The editor of one lookup table: an edit box for one value, Clear / Update /
// Delete / End, the list of every stored value with its count, and a search that
// selects the first entry beginning with what is typed. A value loaded from the
// table locks the edit box until Clear, so a stored entry is never renamed.
// The publication editor adds the state of each name in Combo1.
class LookupEditor : public shell::ChildWindow {
    Q_OBJECT
public:
    explicit LookupEditor(const EditorDescription& description);

    void formLoad() override;

    void Command1_Click(int index);
    void Text1_Change(int index);
    int Text1_KeyPress(int index, int keyAscii);
    void List1_DblClick();
    int Combo1_KeyPress(int keyAscii);

private:
    void Initials();
    void ListUpd();
    void IsExist();
    void TblToText();
    void ListToText();
    void Textclear();
    void TextChk();
    void dbUpdate();
    void dbDelete();
    // Fills the list again after a write and tells the operator that it was done.
    void refillAfter(const QString& done, shell::Icon icon);
    void notFound();

    void Text1_Enter();
    void CmbLoad();
    // The values as they are stored: trimmed.
    QString editValue() const;
    QString stateValue() const;
    QStringList rowValues() const;
    db::LookupTable table() const;
    QListWidgetItem* selectedEntry() const;

    const EditorDescription& description_;
    QLabel* picture1_;
    QLineEdit* text1_;
    QComboBox* combo1_;  // the publication editor only
    std::array<QPushButton*, 4> command1_;
    QListWidget* list1_;
    QLabel* count_;
    // The list's entries, kept beside the widget for a search on every keystroke.
    QStringList entries_;

    QString TblName;
    QString FldName;
    qint16 ExistFlag = 0;
};

}  // namespace lookup

#pragma once

#include <QString>
#include <span>

#include "shell/controltable.h"

namespace lookup {

// The start of the count label's text; the number of entries follows it.
inline const QString kTotalEntries = QStringLiteral("Total Entries : ");

// What sets one lookup editor apart from the others: its table, its window and its
// controls. The behaviour is the same for all of them (LookupEditor).
struct EditorDescription {
    QString window;                      // the window's name, as the menu opens it
    QString caption;                     // its title bar
    QString table;                       // TblName
    QString keyColumn;                   // FldName: the column the WHERE clauses compare
    double width = 7700, height = 6390;  // twips
    std::span<const shell::ControlSpec> controls;
    QString countLabel;          // the label that shows kTotalEntries
    QString insidePicture = {};  // a control that lies inside the header picture, if any

    // The publication editor keeps a state beside each name in Combo1.
    bool stateField = false;
    QString emptyOnUpdate = QStringLiteral("Field cannot be Empty");
    QString emptyOnEnter = QStringLiteral("Field Cannot Empty");
};

// The four editors: Street, State, PropType, PubName.
std::span<const EditorDescription> editorDescriptions();

}  // namespace lookup

#pragma once

#include <QString>
#include <QStringList>

namespace db {

// The statements as the program writes them, for the trace only: what an operation
// stands for, each value a quoted text literal with its quotes doubled. Nothing
// renders a statement that runs; every value goes to the engine as a parameter.

// "Insert into Data values('v0','v1',...,'v75');"
QString insertText(const QStringList& values);

// A lookup table read whole: "Select * from T;" to fill an entry window's choice
// list, "Select * From T;" for an editor's list.
QString tableReadText(const QString& table, bool forChoices);
// "Select * from T where K='v';"
QString findText(const QString& table, const QString& key, const QString& value);
// "insert into T values ('v1','v2');"
QString lookupInsertText(const QString& table, const QStringList& values);
// "Update T Set C1='v1', C2='v2' Where K='v1';": the columns as the table names them.
QString updateText(const QString& table, const QStringList& columns, const QStringList& values,
                   const QString& key);
// "Delete * From T Where K='v';"
QString deleteText(const QString& table, const QString& key, const QString& value);

}  // namespace db

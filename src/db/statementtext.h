#pragma once

#include <QString>
#include <QStringList>

namespace db {

// The statements as the program writes them, for the trace only: what an operation
// stands for, each value a quoted text literal with its quotes doubled. Nothing
// renders a statement that runs; every value goes to the engine as a parameter.

// "Insert into Data values('v0','v1',...,'v75');"
QString insertText(const QStringList& values);

}  // namespace db

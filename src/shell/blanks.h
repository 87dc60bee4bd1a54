#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// The one trimming rule of every stored value, in every window: the space characters
// at both ends go; tabs, other white space and inner blanks stay as typed.
QString trimBlanks(const QString& text);
QStringList trimBlanks(const QStringList& texts);

// A value as a listing stores it: trimmed, and the placeholder "x" when nothing is left.
QString storedValue(const QString& text);

}  // namespace shell

#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace shell {

// The fields the operator types into, in every window alike. What is typed or pasted
// is kept as it is, whatever its length, but for NUL characters (no engine stores
// them inside a text, and nobody can see them to take them out) and for half a
// surrogate pair, which becomes U+FFFD.

// The text as a field takes it when typed or pasted.
QString asTyped(const QString& text);

// Makes a one-line field take a text of any length: a QLineEdit cuts at 32,767
// characters without a word.
void takeAnyText(QLineEdit* edit);

// A box of several lines of free text.
QPlainTextEdit* newTextArea(QWidget* parent);

}  // namespace shell

#pragma once

#include <QByteArrayView>
#include <QString>

namespace base {

// The text with every lone UTF-16 surrogate (half of a pair, left by an input method
// or by a client that deleted one unit of a pair) replaced by U+FFFD, the character
// a field already shows for it. UTF-8 has no form for a lone surrogate: SQLite would
// read it together with the unit after it, a quote that ends a literal included.
QString withWholeCharacters(const QString& text);

// Whether the text holds a lone surrogate.
bool hasLoneSurrogate(const QString& text);

// The stored UTF-8 text as UTF-16, exactly: a leading U+FEFF is a character of the
// text, which QString::fromUtf8 would take for a byte-order mark and drop.
QString fromStoredUtf8(QByteArrayView utf8);

// A stored value as UTF-16 that gives back its very bytes (toStoredBytes), whatever
// another program put there: each byte that is not part of valid UTF-8 becomes the
// lone surrogate U+DC80–U+DCFF of its value, as Python's "surrogateescape" has it.
// Nothing typed holds one (the fields take a lone surrogate as U+FFFD).
QString fromStoredBytes(QByteArrayView bytes);
// The text as UTF-8, each U+DC80–U+DCFF standing alone as the byte it stands for,
// any other lone surrogate as U+FFFD.
QByteArray toStoredBytes(const QString& text);

}  // namespace base

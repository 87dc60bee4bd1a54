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

}  // namespace base

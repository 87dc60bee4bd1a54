#pragma once

#include <QString>

namespace db {

// The text with every lone UTF-16 surrogate (half of a pair, left by an input method
// or by a client that deleted one unit of a pair) replaced by U+FFFD, the character
// a field already shows for it. UTF-8 has no form for a lone surrogate: SQLite would
// read it together with the unit after it, a quote that ends a literal included.
QString withWholeCharacters(const QString& text);

// Whether the text holds a lone surrogate.
bool hasLoneSurrogate(const QString& text);

}  // namespace db

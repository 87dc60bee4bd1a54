#pragma once

#include <QString>

namespace base {

// A text as a search compares it: letter case and accents left out, so that
// "Émile", "EMILE", "emile" and an "E" followed by a combining acute all read
// "emile". The text is decomposed (NFD), the combining diacritical marks
// U+0300–U+036F dropped, and the rest put in lower case, a final sigma as a sigma.
// A server folds its stored texts by the same steps in its own functions, so that
// a search finds the same listings on a file and on a server.
QString foldedForSearch(const QString& text);

}  // namespace base

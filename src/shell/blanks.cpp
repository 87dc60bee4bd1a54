#include "blanks.h"

namespace shell {

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QStringList trimBlanks(const QStringList& texts) {
    QStringList trimmed;
    for (const QString& text : texts)
        trimmed.append(trimBlanks(text));
    return trimmed;
}

QString storedValue(const QString& text) {
    const QString trimmed = trimBlanks(text);
    return trimmed.isEmpty() ? QStringLiteral("x") : trimmed;
}

}  // namespace shell

#include "listingvalues.h"

namespace entry {

void ListingValues::assign(int first, const QStringList& values) {
    for (int i = 0; i < values.size(); ++i)
        values_.at(first + i) = values.at(i);
}

int ListingValues::emptyCount() const {
    return int(std::count_if(values_.begin(), values_.begin() + kColumns,
                             [](const QString& value) { return trimBlanks(value).isEmpty(); }));
}

ListingValues ListingValues::withPlaceholders() const {
    ListingValues row = *this;
    for (int k = 0; k < kColumns; ++k) {
        if (trimBlanks(row[k]).isEmpty())
            row[k] = QStringLiteral("x");
    }
    return row;
}

QStringList ListingValues::columns() const {
    return QStringList(values_.begin(), values_.begin() + kColumns);
}

ListingValues& listingValues() {
    static ListingValues record;
    return record;
}

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

}  // namespace entry

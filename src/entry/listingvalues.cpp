#include "listingvalues.h"

#include "shell/blanks.h"

namespace entry {

void ListingValues::assign(int first, const QStringList& values) {
    for (int i = 0; i < values.size(); ++i)
        values_.at(first + i) = values.at(i);
}

int ListingValues::emptyCount() const {
    return int(std::count_if(values_.begin(), values_.begin() + kColumns, [](const QString& value) {
        return shell::trimBlanks(value).isEmpty();
    }));
}

ListingValues ListingValues::withPlaceholders() const {
    ListingValues row = *this;
    for (int k = 0; k < kColumns; ++k) {
        if (shell::trimBlanks(row[k]).isEmpty())
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

}  // namespace entry

#include "listing.h"

namespace db {

void Listing::assign(Column first, const QStringList& values) {
    for (int i = 0; i < values.size(); ++i)
        (*this)[first + i] = values.at(i);
}

QStringList Listing::values() const {
    return QStringList(values_.begin(), values_.end());
}

Listing Listing::fromValues(const QStringList& values) {
    Listing listing;
    listing.assign(Column::ListingState, values.mid(0, kColumnCount));
    return listing;
}

}  // namespace db

#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace entry {

// One advertisement on its way through the three entry windows. Element k (0 to 75)
// becomes column k of Data; elements 76 and 77 are spare. An element holds a null
// text until it is first written. One record serves the whole run and is never
// cleared: after an insert it keeps the row as stored.
class ListingValues {
public:
    static constexpr int kElements = 78;
    static constexpr int kColumns = 76;

    const QString& operator[](int k) const { return values_.at(k); }
    QString& operator[](int k) { return values_.at(k); }

    // Writes the values into the elements from `first` on, in order.
    void assign(int first, const QStringList& values);

    // How many of the elements 0 to 75 are empty once trimmed.
    int emptyCount() const;

    // A copy in which every empty element 0 to 75 holds the placeholder "x".
    ListingValues withPlaceholders() const;

    // Elements 0 to 75, the values of one row of Data.
    QStringList columns() const;

    // Names the submit of this listing until its row is known to be stored, so that a
    // submit made again after one whose outcome was unknown finds the row it stored.
    // It belongs to this one listing: made at its first submit, forgotten once it is
    // stored, abandoned, or a new listing begins.
    QString submitToken;

private:
    std::array<QString, kElements> values_;
};

// The record of this run.
ListingValues& listingValues();

}  // namespace entry

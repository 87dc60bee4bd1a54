#pragma once

#include <QString>

#include "db/listing.h"

namespace db {
class Store;
}

namespace entry {

// How many of the listing's values are empty once trimmed.
int emptyCount(const db::Listing& listing);

// A copy in which every empty value holds the placeholder "x".
db::Listing withPlaceholders(const db::Listing& listing);

// Stores the listing as one new row of Data, with "x" for each empty value. Only
// once the row is stored does the listing take the placeholders: after a failure (a
// lock held by another program, an altered table, a lost server, an insert that
// stored no row) it is as it was, and the same submit can be made again: its token
// makes the server store the listing once. A submit whose answer was lost is kept
// in the desk folder until a later one of the same listing is stored
// (unconfirmed.h). Throws base::Failure.
void insertListing(db::Listing& listing, db::Store& store, const QString& deskFolder);

}  // namespace entry

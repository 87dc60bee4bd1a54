#pragma once

#include <QString>

#include "listingvalues.h"

namespace db {
class Recordset;
}

namespace entry {

// "Insert into Data values('v0','v1',...,'v75');": every value a quoted literal,
// in column order, no column list.
QString insertStatement(const ListingValues& record);

// Stores the record as one new row of Data, with "x" for each empty value, through
// the window's result set on the program's connection. Only once the row is stored
// does the record take the placeholders: after a failure (a lock held by another
// program, an altered table, a lost server, an insert that stored no row) it is as
// it was, and the same submit can be made again: its token makes the server store
// the listing once. A submit whose answer was lost is kept in the program's folder
// until a later one of the same listing is stored (unconfirmed.h).
// Throws db::Failure.
void insertListing(ListingValues& record, db::Recordset& rs);

}  // namespace entry

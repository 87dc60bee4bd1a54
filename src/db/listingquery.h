#pragma once

#include <QList>
#include <QString>

namespace db {

// A listing's identity: the file's rowid, the server's pelmar_seq. The Listings
// window shows it as the listing's number; it is never given to a second listing.
using ListingId = qint64;

// One column's value that every listing shown must hold exactly (an empty text also
// stands for a NULL): a spreadsheet's filter by a value.
struct ColumnFilter {
    int column = 0;  // the column's place in Data, from 0
    QString value;
    bool operator==(const ColumnFilter&) const = default;
};

// Which listings the Listings window shows, and in what order.
struct ListingQuery {
    // Found in the searched columns, letter case and accents ignored; empty: every one.
    QString search;
    QList<ColumnFilter> filters;
    // Sorted by the column's text, letter case and accents ignored (ties by the
    // text itself, then by number); -1: newest first.
    int sortColumn = -1;
    bool descending = false;

    // Every listing, newest first: what the table reads a part at a time.
    bool isPlain() const { return search.isEmpty() && filters.isEmpty() && sortColumn < 0; }
    bool operator==(const ListingQuery&) const = default;
};

}  // namespace db

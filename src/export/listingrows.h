#pragma once

#include <QList>
#include <QString>

#include "db/store.h"
#include "sheets/format.h"
#include "tableexport.h"

namespace exporter {

// Listings read a part at a time between two reports of progress: a few hundredths
// of a second's reading, and few enough parameters for either engine.
constexpr int kListingsReadAtOnce = 2000;

// Writes the listings of those identities, in that order, to a new file at `path` in
// the format given, the headings of Data first. They are read through the store a
// part at a time, each part as stored when it is read; a listing deleted meanwhile
// is left out. The previous file is replaced only once the new one is complete.
// The callback hears how many listings are written of how many, and may cancel.
// Throws db::DbError, xls::Error or xls::Cancelled; then the previous file stays.
ExportSummary exportListings(db::Store& store, const QList<db::ListingId>& ids, const QString& path,
                             sheets::Format format, const xls::ProgressCallback& progress = {});

}  // namespace exporter

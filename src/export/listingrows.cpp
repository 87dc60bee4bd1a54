#include "listingrows.h"

#include <QByteArray>
#include <optional>
#include <string_view>
#include <vector>

#include "db/schema.h"

namespace exporter {

namespace {

// The writer reports rows alone (total 0); the bar shows them out of the listings
// asked for. What it reports with a total of its own (the .xls file's bytes) passes.
xls::ProgressCallback outOf(std::uint64_t total, const xls::ProgressCallback& progress) {
    if (!progress)
        return {};
    return [total, progress](const xls::Progress& done) {
        return progress(done.total == 0 ? xls::Progress{done.done, total} : done);
    };
}

}  // namespace

ExportSummary exportListings(db::Store& store, const QList<db::ListingId>& ids, const QString& path,
                             sheets::Format format, const xls::ProgressCallback& progress) {
    const std::unique_ptr<sheets::RowWriter> writer = sheets::openRowWriter(
        format, path, db::schema::dataColumns(), outOf(std::uint64_t(ids.size()), progress));
    std::vector<QByteArray> texts;
    std::vector<std::optional<std::string_view>> row;
    for (qsizetype first = 0; first < ids.size(); first += kListingsReadAtOnce) {
        xls::report(progress, {std::uint64_t(writer->rows()), std::uint64_t(ids.size())});
        for (const db::StoredListing& listing : store.read(ids.mid(first, kListingsReadAtOnce))) {
            texts.clear();
            row.clear();
            for (const QString& value : listing.values)
                texts.push_back(value.toUtf8());
            // A NULL stays an empty cell, as in Data.xls.
            for (qsizetype column = 0; column < listing.values.size(); ++column) {
                if (listing.values.at(column).isNull())
                    row.emplace_back(std::nullopt);
                else
                    row.emplace_back(std::string_view(texts[column].constData(),
                                                      std::size_t(texts[column].size())));
            }
            writer->addRow(row);
        }
    }
    writer->commit();
    return {writer->rows(), writer->sheetCount(), writer->cutCells()};
}

}  // namespace exporter

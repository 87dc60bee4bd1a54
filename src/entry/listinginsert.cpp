#include "listinginsert.h"

#include <QUuid>

#include "db/dberror.h"
#include "db/store.h"
#include "shell/blanks.h"
#include "shell/storedcheck.h"
#include "unconfirmed.h"

namespace entry {

namespace {

// What the operator reads when the server's answer to a submit was lost. The listing
// is kept in the program's folder too, so that closing the program loses nothing.
QString lostAnswer(const db::Listing& row, const QString& folder) {
    QString kept;
    try {
        keepUnconfirmed(folder, {row.token, row.values()});
        kept = QStringLiteral(
            "It is kept, in this window and in the program's folder; choosing \"Subnmit\" "
            "again stores it exactly once.");
    } catch (const base::Failure& failure) {
        kept = QStringLiteral(
                   "It is kept in this window only (%1); choose \"Subnmit\" again before "
                   "the program is closed: that stores it exactly once.")
                   .arg(failure.text());
    }
    return QStringLiteral(
               "The server's answer to this Subnmit was lost: the listing may or may "
               "not have been stored. %1\n\n")
        .arg(kept);
}

}  // namespace

int emptyCount(const db::Listing& listing) {
    const QStringList values = listing.values();
    return int(std::count_if(values.begin(), values.end(), [](const QString& value) {
        return shell::trimBlanks(value).isEmpty();
    }));
}

db::Listing withPlaceholders(const db::Listing& listing) {
    db::Listing row = listing;
    for (int k = 0; k < db::kColumnCount; ++k) {
        if (shell::trimBlanks(row[db::Column(k)]).isEmpty())
            row[db::Column(k)] = QStringLiteral("x");
    }
    return row;
}

void insertListing(db::Listing& listing, db::Store& store, const QString& folder) {
    if (listing.token.isEmpty())
        listing.token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    db::Listing row = withPlaceholders(listing);
    long long stored = 0;
    try {
        stored = store.storeListing(row);
    } catch (const db::Cancelled&) {
        // The server may have had the insert when the operator gave up the wait: kept
        // as after a lost answer, without a message, since the operator chose it.
        try {
            keepUnconfirmed(folder, {row.token, row.values()});
        } catch (const base::Failure&) {
        }
        throw;
    } catch (const db::DbError& error) {
        if (!error.outcomeUnknown())
            throw;
        throw db::DbError(lostAnswer(row, folder) + error.text(), true);
    }
    shell::requireStored(stored, QStringLiteral("the listing"), QStringLiteral("Data"));
    // Stored: a Subnmit of it left unanswered before is settled too. A file that cannot
    // be rewritten now is settled at the next start, which finds the listing stored.
    try {
        forgetUnconfirmed(folder, row.token);
    } catch (const base::Failure&) {
    }
    row.token.clear();
    listing = row;
}

}  // namespace entry

#include "settle.h"

#include "base/failure.h"
#include "db/store.h"
#include "listinginsert.h"
#include "shell/desk.h"
#include "shell/messages.h"
#include "shell/texts.h"
#include "unconfirmed.h"

namespace entry {

namespace {

// The listing as the operator would know it again: where and when it was published,
// and the property's address.
QString describe(const QStringList& values) {
    QStringList known;
    for (int k = int(db::Column::ListingState); k <= int(db::Column::Suburb); ++k) {
        if (values.at(k) != QLatin1String("x"))
            known.append(values.at(k));
    }
    return QStringLiteral("\"%1\"").arg(known.join(QStringLiteral(", ")));
}

void settle(const UnconfirmedListing& listing, shell::Desk& desk) {
    const QString& folder = desk.folder();
    const QString which = QStringLiteral(
                              "The listing %1, whose Subnmit had no answer before the "
                              "program was closed,")
                              .arg(describe(listing.values));
    if (desk.store().isListingStored(listing.token)) {
        forgetUnconfirmed(folder, listing.token);
        desk.messages().inform(
            which + QStringLiteral(" is stored on the server; nothing more is needed."),
            shell::Icon::Information);
        return;
    }
    if (!desk.messages().askYes(which +
                                QStringLiteral(" was not stored on the server. Store it now?\n\n"
                                               "No keeps it, and the program asks again at its "
                                               "next start."))) {
        return;
    }
    db::Listing record = db::Listing::fromValues(listing.values);
    record.token = listing.token;
    insertListing(record, desk.store(), folder);
    desk.messages().inform(QString::fromLatin1(shell::kRecordInserted));
}

}  // namespace

void settleUnconfirmed(shell::Desk& desk) {
    if (!desk.store().isServer())
        return;
    try {
        for (const UnconfirmedListing& listing : unconfirmedListings(desk.folder()))
            settle(listing, desk);
    } catch (const base::Failure& failure) {
        desk.messages().inform(
            failure.text() + QStringLiteral("\n\nWhat is not settled is kept; the program tries "
                                            "again at its next start."),
            shell::Icon::Critical);
    }
}

}  // namespace entry

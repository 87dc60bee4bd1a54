#include "settle.h"

#include "db/failure.h"
#include "db/listingtoken.h"
#include "db/recordset.h"
#include "listinginsert.h"
#include "shell/dbconnect.h"
#include "shell/messages.h"
#include "shell/texts.h"
#include "unconfirmed.h"

namespace entry {

namespace {

// The listing as the operator would know it again: where and when it was published,
// and the property's address.
QString describe(const QStringList& values) {
    QStringList known;
    for (int k : {0, 1, 2, 3, 4, 5, 6}) {
        if (values.at(k) != QLatin1String("x"))
            known.append(values.at(k));
    }
    return QStringLiteral("\"%1\"").arg(known.join(QStringLiteral(", ")));
}

void settle(const UnconfirmedListing& listing) {
    const QString folder = dbConnect::appFolder();
    const QString which = QStringLiteral(
                              "The listing %1, whose Subnmit had no answer before the "
                              "program was closed,")
                              .arg(describe(listing.values));
    if (db::isListingStored(dbConnect::Conn(), listing.token)) {
        forgetUnconfirmed(folder, listing.token);
        shell::inform(which + QStringLiteral(" is stored on the server; nothing more is needed."),
                      shell::Icon::Information);
        return;
    }
    if (!shell::askYes(which + QStringLiteral(" was not stored on the server. Store it now?\n\n"
                                              "No keeps it, and the program asks again at its "
                                              "next start."))) {
        return;
    }
    ListingValues record;
    record.assign(0, listing.values);
    record.submitToken = listing.token;
    db::Recordset rs;
    insertListing(record, rs);
    shell::inform(QString::fromLatin1(shell::kRecordInserted));
}

}  // namespace

void settleUnconfirmed() {
    if (!dbConnect::Conn().isServer())
        return;
    try {
        for (const UnconfirmedListing& listing : unconfirmedListings(dbConnect::appFolder()))
            settle(listing);
    } catch (const db::Failure& failure) {
        shell::inform(
            failure.text() + QStringLiteral("\n\nWhat is not settled is kept; the program tries "
                                            "again at its next start."),
            shell::Icon::Critical);
    }
}

}  // namespace entry

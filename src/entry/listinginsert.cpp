#include "listinginsert.h"

#include <QUuid>

#include "db/dberror.h"
#include "db/recordset.h"
#include "db/sqlliteral.h"
#include "shell/dbconnect.h"
#include "shell/storedcheck.h"
#include "unconfirmed.h"

namespace entry {

namespace {

// What the operator reads when the server's answer to a submit was lost. The listing
// is kept in the program's folder too, so that closing the program loses nothing.
QString lostAnswer(const ListingValues& row, const QString& token) {
    QString kept;
    try {
        keepUnconfirmed(dbConnect::appFolder(), {token, row.columns()});
        kept = QStringLiteral(
            "It is kept, in this window and in the program's folder; choosing \"Subnmit\" "
            "again stores it exactly once.");
    } catch (const db::Failure& failure) {
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

QString insertStatement(const ListingValues& record) {
    QStringList literals;
    for (const QString& value : record.columns())
        literals.append(db::sqlText(value));
    return QStringLiteral("Insert into Data values(") + literals.join(QLatin1Char(',')) +
           QStringLiteral(");");
}

void insertListing(ListingValues& record, db::Recordset& rs) {
    if (record.submitToken.isEmpty())
        record.submitToken = QUuid::createUuid().toString(QUuid::WithoutBraces);
    ListingValues row = record.withPlaceholders();
    // Data may have been altered and mended by another program since the last try.
    dbConnect::Conn().refreshSchema();
    if (rs.isOpen())
        rs.close();
    try {
        rs.open(insertStatement(row), dbConnect::Conn(), record.submitToken);
    } catch (const db::Cancelled&) {
        // The server may have had the insert when the operator gave up the wait: kept
        // as after a lost answer, without a message, since the operator chose it.
        try {
            keepUnconfirmed(dbConnect::appFolder(), {record.submitToken, row.columns()});
        } catch (const db::Failure&) {
        }
        throw;
    } catch (const db::DbError& error) {
        if (!error.outcomeUnknown())
            throw;
        throw db::DbError(lostAnswer(row, record.submitToken) + error.text(), true);
    }
    shell::requireStored(rs, QStringLiteral("the listing"), QStringLiteral("Data"));
    // Stored: a Subnmit of it left unanswered before is settled too. A file that cannot
    // be rewritten now is settled at the next start, which finds the listing stored.
    try {
        forgetUnconfirmed(dbConnect::appFolder(), record.submitToken);
    } catch (const db::Failure&) {
    }
    row.submitToken.clear();
    record = row;
}

}  // namespace entry

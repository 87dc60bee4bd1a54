#pragma once

#include "store.h"

namespace db {

// The store of a PostgreSQL server's database. A desk writes Data only through the
// administrator's functions (schema.h, corrections.h); a listing's number is its
// pelmar_seq, an identity the server never gives twice.
class ServerStore : public Store {
public:
    bool isServer() const override { return true; }
    long long storeListing(const Listing& listing) override;
    bool isListingStored(const QString& token) override;
    bool hasCorrections() override;

protected:
    QString identity() const override;
    QString parameter(int number) const override;
    QString lookupRows(const QString& table, const QString& condition) const override;
    // Unquoted: the server folds the program's names as it folded them when it made
    // the tables.
    QString name(const QString& spelled) const override { return spelled; }
    // The administrator's to make (pelmar-newdb): a desk may not.
    QString missingSearchIndex() override { return {}; }
    QString searchedTable() override { return QStringLiteral("Data"); }
    QString searchCondition(const QString& folded, int first, QStringList& parameters) override;
    Outcome restoreRow(ListingId id, const QStringList& deleted) override;
    Outcome change(ListingId id, const QStringList& shown, const QStringList* wanted) override;

private:
    // "ARRAY[$first, ...]::text[]": the 76 values of a listing as parameters.
    QString listingArray(int first) const;
};

}  // namespace db

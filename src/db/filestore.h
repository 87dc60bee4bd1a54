#pragma once

#include "store.h"

namespace db {

// The store of a database file. A listing's number is its rowid, which the store
// gives itself: one past every number Data or Corrections has held, so that a
// deleted listing's number is never given again.
class FileStore : public Store {
public:
    bool isServer() const override { return false; }
    long long storeListing(const Listing& listing) override;
    bool isListingStored(const QString&) override { return false; }
    bool hasCorrections() override;

protected:
    QString identity() const override { return QStringLiteral("rowid"); }
    QString parameter(int) const override { return QStringLiteral("?"); }
    QString lookupRows(const QString& table, const QString& condition) const override;
    QString name(const QString& spelled) const override;
    QString binaryMarks() const override;
    QString missingSearchIndex() override;
    QString searchedTable() override;
    QString searchCondition(const QString& folded, int first, QStringList& parameters) override;
    Outcome restoreRow(ListingId id, const QStringList& deleted) override;
    Outcome change(ListingId id, const QStringList& shown, const QStringList* wanted) override;

private:
    bool hasTable(const QString& name);
    bool hasSearchIndex();
};

}  // namespace db

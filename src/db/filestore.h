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
    bool searchesInParts() const override { return false; }
    bool hasCorrections() override;

protected:
    QString identity() const override { return QStringLiteral("rowid"); }
    QString parameter(int) const override { return QStringLiteral("?"); }
    QString searchCondition(const QString& search, int first, QStringList& parameters) override;
    Outcome change(ListingId id, const QStringList& shown, const QStringList* wanted) override;

private:
    bool hasTable(const QString& name);

    bool searchIndexed_ = false;  // the file has the search's index; asked until it has
};

// One write transaction on a file, with the write lock from its start (BEGIN
// IMMEDIATE), so that a test and the write that depends on it see the same table.
// Rolled back unless committed.
class FileTransaction {
public:
    explicit FileTransaction(Connection& connection);
    ~FileTransaction();
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;
    void commit();

private:
    Connection& connection_;
    bool open_ = true;
};

}  // namespace db

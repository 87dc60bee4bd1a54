#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <memory>

#include "backgroundfind.h"
#include "db/store.h"

namespace listings {

// The stored listings as a table, newest first. Only the identities of the rows in
// view are held; their values are read a page at a time as the view asks for them,
// and dropped again when many pages have been read. One row at a time may hold
// changes that are not yet stored: the row being corrected.
class ListingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListingsModel(db::Store& store, QObject* parent = nullptr);

    static constexpr int kPage = 100;

    // So many identities readMore reads in one go: a small part of a second's work.
    static constexpr int kIdentitiesRead = 50000;

    // The first screen at once, from the newest rows alone; readMore then adds the
    // older rows, a part at a time, so that the window answers between the parts.
    void loadFirstScreen();
    // Adds the next older rows to a plain table; false once all are in.
    bool readMore();
    db::Store& store() const { return store_; }
    // Whether the table holds every listing that the query finds.
    bool complete() const { return allRead_ && !finding(); }
    // Shows the listings the query finds: a plain one's first screen at once (then
    // readMore), any other's once its finder, on a thread of its own, has found them
    // (found, or findFailed); the rows shown until then stay.
    void setQuery(const db::ListingQuery& query);
    const db::ListingQuery& query() const { return query_; }
    const QString& search() const { return query_.search; }
    // A query's finder is at work.
    bool finding() const { return find_ != nullptr; }
    // Stops it: the table keeps the rows and the query it had before.
    void cancelFind();
    // The identities of the rows, in the table's order.
    const QList<db::ListingId>& identities() const { return ids_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The row that holds changes not yet stored, or -1.
    int editedRow() const { return editedRow_; }
    // The row's values as the window shows them (stored, or as typed over).
    QStringList shownValues(int row) const;

    enum class Result { Nothing, Stored, Changed };
    // Stores the edited row's changes as one correction: trimmed, empty values as
    // "x". When the row no longer held what was shown, it is read afresh and the
    // changes are dropped. Throws db::DbError, and then the changes stay.
    Result storeEdits();
    // Forgets the edited row's changes.
    void revertEdits();
    // Deletes the row's listing if it still holds what is shown; otherwise the row is
    // read afresh. Throws db::DbError.
    Result deleteRow(int row);
    // Puts back the values a stored correction of the row replaced, if the row still
    // holds what that correction wrote; recorded as a correction of its own. Throws
    // db::DbError.
    Result undo(int row, const db::Store::Correction& correction);

    // Whether storing needs the table Corrections made first; addCorrections makes it.
    bool lacksCorrections();
    void addCorrections();

signals:
    // Rows the view asked for could not be read; they show empty until the next search.
    void readFailed(const QString& text);
    // The query's finder has put its listings in the table.
    void found();
    // It failed: the table is as it was before.
    void findFailed(const QString& text);

private:
    // The stored values of a row, its page read when it is not at hand.
    const db::StoredListing& storedListing(int row) const;
    const QStringList& storedValues(int row) const { return storedListing(row).values; }
    // Reads the page from the event loop, and then tells the view its rows changed.
    void readSoon(int page) const;
    void refreshRow(int row);
    void forgetPages() const { pages_.clear(); }
    void removeFromView(int row);
    Result settle(int row, db::Store::Outcome outcome);

    db::Store& store_;
    QList<db::ListingId> ids_;
    db::ListingQuery query_;  // the query whose rows the table holds
    std::unique_ptr<BackgroundFind> find_;
    mutable QHash<int, QList<db::StoredListing>> pages_;
    mutable QSet<int> pagesAsked_;  // pages readSoon will read
    int editedRow_ = -1;
    QStringList edits_;
    db::StoredListing editedFrom_;  // the row as stored when its editing began
    bool correctionsKnown_ = false;
    bool allRead_ = false;  // every identity that matches the search is in ids_
};

}  // namespace listings

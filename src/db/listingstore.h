#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace db {

class Connection;

// A listing's identity: the file's rowid, the server's pelmar_seq. Never shown.
using ListingId = qint64;

struct StoredListing {
    ListingId id = 0;
    QStringList values;  // the 76 columns of Data, in order
};

// Finds, reads, corrects and deletes stored listings, on a file or a server alike.
// Every read is one statement read whole and finished: on a file an open read would
// hold a lock that makes every other desk's insert wait.
class ListingStore {
public:
    explicit ListingStore(Connection& connection) : connection_(connection) {}

    // The most recently stored listings, newest first: what the first screen shows
    // before every identity is known.
    QList<StoredListing> newest(int limit);

    // The identities of every listing whose searched columns contain the text, letter
    // case ignored (every listing for an empty text), newest first.
    QList<ListingId> identities(const QString& search);
    // The identities of at most limit listings stored before the one of the identity
    // (before every listing for 0) that match the search (all for an empty text),
    // newest first: a table read a part at a time.
    QList<ListingId> olderThan(ListingId before, int limit, const QString& search = {});
    // Whether a search is best read a part at a time too. A server reads a part by the
    // identities' index, or by the trigram index when few rows match; a file's search
    // reads its whole index whatever the part, so there identities() reads it once.
    bool searchesInParts() const;

    // The listings of those identities in the order given; one that is gone is left out.
    QList<StoredListing> read(const QList<ListingId>& ids);

    enum class Outcome {
        Stored,   // the row held what was shown, and now holds the new values (or is gone)
        Changed,  // it no longer held what was shown, or is gone: nothing was written
    };
    // Writes wanted into the row of the id, only if it still holds shown, and records
    // both in Corrections, as one step. The values are stored as given.
    Outcome correct(ListingId id, const QStringList& shown, const QStringList& wanted);
    // Deletes the row, only if it still holds shown, and records it in Corrections.
    Outcome remove(ListingId id, const QStringList& shown);

    // Whether the database has what recording a correction needs.
    bool hasCorrections();

private:
    QString identity() const;
    QString columnList() const;
    QList<StoredListing> rows(const QString& statement);
    // Every value of the column id of the rows from, read as one text; newest first.
    QList<ListingId> identitiesIn(const QString& from, const QString& id);
    // " WHERE ...": the searched columns contain the text, letter case ignored.
    QString searchCondition(const QString& search);
    // Runs the change on a file inside one write transaction with its record.
    Outcome fileChange(const QString& change, ListingId id, const QStringList& shown,
                       const QStringList* wanted);

    Connection& connection_;
    bool searchIndexed_ = false;  // the file has kSearchIndex; asked until it has
};

}  // namespace db

#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "connection.h"
#include "listing.h"
#include "listingfinder.h"
#include "listingquery.h"
#include "tablereader.h"

namespace db {

struct StoredListing {
    ListingId id = 0;
    QStringList values;  // the 76 columns of Data, in order
    // The columns whose value another program stored as bytes, not as text (a
    // file's BLOB): values holds those bytes as fromStoredBytes reads them.
    QList<int> binaryColumns;
};

// A lookup table as an editor keeps it: its name and the column an entry is known by.
struct LookupTable {
    QString name;
    QString key;
};

// The program's operations on its database, on a file or a server alike: what the
// windows do, with typed arguments and results. Every value goes to the engine as a
// parameter, never as statement text. The file and the server each give the pieces
// that differ (filestore.h, serverstore.h).
class Store {
public:
    // Opens the database of a desk: a file, or the server that a libpq connection
    // text names (asking for a password through the prompt). Throws DbError.
    static std::unique_ptr<Store> openFile(const QString& path, WaitDisplay* display = nullptr);
    static std::unique_ptr<Store> openServer(const QString& conninfo, const PasswordPrompt& prompt,
                                             WaitDisplay* display = nullptr);

    virtual ~Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    virtual bool isServer() const = 0;
    // The server, its database and the login, as messages and titles name them
    // ("server HOST, database NAME, login ROLE"); nothing on a file.
    QString serverAndLogin() const;

    // Throws DbError, naming the database and what is wrong, unless its tables are
    // those of this program, their columns in the program's order.
    void checkTables();

    // Sees the statement every operation stands for, as the program writes it.
    void setTrace(StatementTrace trace);

    // --- lookup tables -----------------------------------------------------------

    // Every row of the table, all its columns, in the order stored: for an entry
    // window's choice list (forChoices) or for an editor's list, which the trace
    // tells apart. Throws DbError.
    QList<QStringList> readTable(const QString& table, bool forChoices);
    // The row whose key holds exactly the value, or none. Throws DbError.
    std::optional<QStringList> findEntry(const LookupTable& table, const QString& value);

    enum class EntryWrite {
        Added,      // no entry had the key: the row is a new one
        Updated,    // the entry with the key now holds the row
        NotStored,  // the database took the new row without an error and kept nothing
        Gone,       // the entry was there and then was not: nothing was written
    };
    // Adds the row (its first value the key), or sets the entry that has its key to
    // it: the test and the write one step against every other desk. Throws DbError.
    EntryWrite saveEntry(const LookupTable& table, const QStringList& row);
    // Removes the entry with the key, tested and removed in one step; false when there
    // was none. Throws DbError.
    bool removeEntry(const LookupTable& table, const QString& value);

    // --- listings entered --------------------------------------------------------

    // Stores the listing as one new row of Data and gives the rows stored (0 when the
    // database took it without an error but kept nothing). Run again with the same
    // token after a failure whose outcome was unknown, it stores no second row.
    // Throws DbError.
    virtual long long storeListing(const Listing& listing) = 0;
    // Whether the row that a submit with this token stored is there (a server's
    // unconfirmed submit; a file knows no tokens). Throws DbError.
    virtual bool isListingStored(const QString& token) = 0;

    // --- listings found and corrected ---------------------------------------------

    // The most recently stored listings, newest first.
    QList<StoredListing> newest(int limit);
    // The identities of the listings the query finds, in its order. A plain query's
    // (every listing, newest first) are best read a part at a time (olderThan); any
    // other is best run on a thread of its own, through a finder. Throws DbError.
    QList<ListingId> identities(const ListingQuery& query = {});
    // The same as a finder on a connection of its own, to run on another thread.
    std::unique_ptr<ListingFinder> finder(const ListingQuery& query);
    // On a file made before the search's index: a finder that makes the index (and
    // finds nothing), to run on a thread of its own; none where it is there. Until it
    // is, searches read the whole table.
    std::unique_ptr<ListingFinder> searchIndexMaker();
    // At most limit listings older than `before` (0: from the newest on), newest first.
    QList<ListingId> olderThan(ListingId before, int limit);
    // The listings of those identities in the order given; one that is gone is left out.
    QList<StoredListing> read(const QList<ListingId>& ids);

    // One correction or deletion of a listing, as Corrections keeps it: the row's
    // values before and after (none after a deletion), a NULL as a null text.
    struct Correction {
        QString at;      // when, as the engine wrote it
        QString by;      // the server's login; empty on a file
        QString change;  // "corrected" or "deleted"
        QStringList before, after;
    };
    // The corrections and deletion of the listing, oldest first. Throws DbError.
    QList<Correction> history(ListingId id);

    enum class Outcome {
        Stored,   // the row held what was shown, and now holds the new values (or is gone)
        Changed,  // it no longer held what was shown, or is gone: nothing was written
    };
    // Writes wanted into the row of the id, only if it still holds shown, and records
    // both in Corrections, as one step. When the answer was lost or the wait
    // cancelled, the row is read again before anything is said: one that holds what
    // was wanted was stored; one that holds what was shown was not (DbError, the
    // changes to be kept); for one that holds neither, Changed. When even that read
    // fails, DbError says that it is not known. Throws DbError.
    Outcome correct(ListingId id, const QStringList& shown, const QStringList& wanted);
    // Deletes the row, only if it still holds shown, and records it; settled as above.
    Outcome remove(ListingId id, const QStringList& shown);

    // Puts the deleted listing back under its number with the values it was deleted
    // with (a Correction's `before`), and records it, only while that deletion is
    // still its latest record: Changed when it was restored or its record changed
    // meanwhile. Throws DbError.
    Outcome restore(ListingId id, const QStringList& deleted);

    // Whether the database has what recording a correction needs; addCorrections
    // makes it. Throws DbError.
    virtual bool hasCorrections() = 0;
    void addCorrections();

    // --- the export ---------------------------------------------------------------

    // A reader of Data on a connection (a server: a session) of its own, so that the
    // windows' statements never wait behind it. Throws DbError.
    std::unique_ptr<TableReader> exportReader() { return connection_.tableReader(); }

    // --- waiting ------------------------------------------------------------------

    // A statement waits for the server's answer, or for another program's lock on a
    // file: nothing else may start meanwhile.
    bool busy() const { return connection_.isWaiting(); }
    // Runs fn once no statement waits: now, or as soon as the one waiting has its
    // answer. What the event loop starts (a timer, a read after a paint) goes through
    // here, never straight to a statement that would be refused. Nothing once the
    // context is gone.
    void whenIdle(QObject* context, std::function<void()> fn);

protected:
    Store();

    using Rows = QList<QStringList>;
    // The identity column, and a statement's parameter by its number from 1.
    virtual QString identity() const = 0;
    virtual QString parameter(int number) const = 0;
    // "SELECT ... FROM table" with its program's columns in the order stored, before
    // the condition (which may be empty) and the order.
    virtual QString lookupRows(const QString& table, const QString& condition) const = 0;
    // A table's or column's name of the program's own, as a statement names it.
    virtual QString name(const QString& spelled) const = 0;
    // A text of one "0" or "1" per column of Data, "1" where a row's value is stored
    // as bytes; empty where the engine's columns hold texts only.
    virtual QString binaryMarks() const { return {}; }
    // The statement that makes the search's index where it is missing; none else.
    virtual QString missingSearchIndex() = 0;
    // What a search reads: Data, or on a file the index that holds its text.
    virtual QString searchedTable() = 0;
    // That the searched columns contain the text, already folded for the search
    // (base/searchfold.h), with its parameters numbered from `first`.
    virtual QString searchCondition(const QString& folded, int first, QStringList& parameters) = 0;
    virtual Outcome restoreRow(ListingId id, const QStringList& deleted) = 0;
    // The writes themselves; `wanted` is null for a deletion.
    virtual Outcome change(ListingId id, const QStringList& shown, const QStringList* wanted) = 0;
    // Reports the statement an operation stands for to the trace.
    void traced(const QString& statement) const;
    // "p1, p2, ...": count parameters from the number first.
    QString parameters(int first, int count) const;

    Connection connection_;

private:
    QString columnList() const;
    // The listings that rows of columnList() give.
    QList<StoredListing> listingRows(const QString& statement, const QStringList& parameters);
    QList<ListingId> identitiesOf(const QString& statement, const QStringList& parameters);
    // The statement that gives the query's identities joined in one text, in order.
    QString foundStatement(const ListingQuery& query, QStringList& parameters);
    Outcome settled(ListingId id, const QStringList& shown, const QStringList* wanted);

    void drainQueue();
    // What the connection runs each time a wait is over: the queue drained soon after.
    std::function<void()> idleHook();

    StatementTrace trace_;
    // What waits for the server to be free, in the order it came.
    QList<std::pair<QPointer<QObject>, std::function<void()>>> queued_;
    // The context of the queue's own events; goes with the store.
    std::unique_ptr<QObject> events_;
};

}  // namespace db

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "connection.h"
#include "listingquery.h"

namespace db {

// How the rows of a finder's statement give the identities: one text "1,2,..." in
// the order wanted, or, for a sort by a column, one row per distinct text of that
// column with its identities, put in order here. The engines then neither fold nor
// sort a million texts, and a file and a server order them by the same code.
struct FoundRows {
    bool byValue = false;
    bool descending = false;
};

// The identities of the listings a query finds, in its order, read on a connection
// of its own, opened by find(), so that all of it may run on a thread of its own: a
// sort or a search of a million listings takes longer than a window may stand still.
class ListingFinder {
public:
    // The settings are statements of the session's own, run once it is open.
    ListingFinder(Connection::Opener opener, QStringList settings, QString statement,
                  QStringList parameters, FoundRows shape = {});
    ~ListingFinder();
    ListingFinder(const ListingFinder&) = delete;
    ListingFinder& operator=(const ListingFinder&) = delete;

    // Runs the query, on one thread at a time. Throws DbError; Cancelled once cancel()
    // has stopped it.
    QList<ListingId> find();
    // Stops a find that runs, or one still to run, from any thread.
    void cancel();

    // The identities in a text "1,2,...", as the engines aggregate them.
    static QList<ListingId> parsed(const QString& joined);
    // The identities that rows of that shape give, in order: by the text folded as a
    // search folds it, then by the text itself, each by its characters' numbers, then
    // by identity, all one way.
    static QList<ListingId> identities(const QList<QStringList>& rows, FoundRows shape);

private:
    // The connection, once open, and its cancel under mutex_: cancel() may come
    // while find() still opens it.
    void open();

    Connection::Opener opener_;
    QStringList settings_;
    QString statement_;
    QStringList parameters_;
    FoundRows shape_;
    std::unique_ptr<Connection> connection_;
    std::mutex mutex_;
    std::function<void()> interrupt_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace db

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

#include "listingquery.h"

namespace db {

class Connection;

// The identities of the listings a query finds, in its order, read on a connection
// of its own so that it may run on a thread of its own: a sort or a search of a
// million listings takes longer than a window may stand still.
class ListingFinder {
public:
    ListingFinder(std::unique_ptr<Connection> connection, QString statement,
                  QStringList parameters);
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

private:
    std::unique_ptr<Connection> connection_;
    QString statement_;
    QStringList parameters_;
    std::function<void()> interrupt_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace db

#include "listingfinder.h"

#include "connection.h"
#include "dberror.h"

namespace db {

ListingFinder::ListingFinder(std::unique_ptr<Connection> connection, QString statement,
                             QStringList parameters)
    : connection_(std::move(connection)),
      statement_(std::move(statement)),
      parameters_(std::move(parameters)),
      // Made here, on the thread that made the connection, while nothing runs on it.
      interrupt_(connection_->interrupter()) {}

ListingFinder::~ListingFinder() = default;

QList<ListingId> ListingFinder::find() {
    if (cancelled_)
        throw Cancelled();
    QString joined;
    try {
        joined = connection_->select(statement_, parameters_).value(0).value(0);
    } catch (const DbError&) {
        if (cancelled_)
            throw Cancelled();
        throw;
    }
    if (cancelled_)
        throw Cancelled();
    return parsed(joined);
}

void ListingFinder::cancel() {
    if (!cancelled_.exchange(true))
        interrupt_();
}

QList<ListingId> ListingFinder::parsed(const QString& joined) {
    QList<ListingId> ids;
    ids.reserve(joined.size() / 7 + 1);
    for (QStringView piece : QStringView(joined).split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids.append(piece.toLongLong());
    return ids;
}

}  // namespace db

#include "listingfinder.h"

#include <QHash>
#include <algorithm>
#include <compare>
#include <vector>

#include "base/searchfold.h"
#include "connection.h"
#include "dberror.h"

namespace db {

namespace {

// A UTF-16 unit's place when texts are ordered by their characters' numbers: the
// halves of a character past U+FFFF come after U+E000-U+FFFF, as UTF-8's bytes on a
// file and the "C" order of a server put them.
int rank(QChar unit) {
    const int u = unit.unicode();
    return u < 0xd800 ? u : u < 0xe000 ? u + 0x2000 : u - 0x800;
}

std::strong_ordering byCharacters(QStringView a, QStringView b) {
    return std::lexicographical_compare_three_way(
        a.begin(), a.end(), b.begin(), b.end(),
        [](QChar x, QChar y) { return rank(x) <=> rank(y); });
}

struct ValueGroup {
    QString folded;
    QString text;
    QList<ListingId> ids;
};

}  // namespace

ListingFinder::ListingFinder(Connection::Opener opener, QStringList settings, QString statement,
                             QStringList parameters, FoundRows shape)
    : opener_(std::move(opener)),
      settings_(std::move(settings)),
      statement_(std::move(statement)),
      parameters_(std::move(parameters)),
      shape_(shape) {}

ListingFinder::~ListingFinder() = default;

void ListingFinder::open() {
    if (!connection_) {
        auto connection = opener_();
        for (const QString& setting : settings_)
            connection->execute(setting);
        const std::lock_guard lock(mutex_);
        interrupt_ = connection->interrupter();
        connection_ = std::move(connection);
    }
}

QList<ListingId> ListingFinder::find() {
    if (cancelled_)
        throw Cancelled();
    QList<QStringList> rows;
    try {
        open();
        if (cancelled_)
            throw Cancelled();
        rows = connection_->select(statement_, parameters_);
    } catch (const DbError&) {
        if (cancelled_)
            throw Cancelled();
        throw;
    }
    if (cancelled_)
        throw Cancelled();
    return identities(rows, shape_);
}

void ListingFinder::cancel() {
    const std::lock_guard lock(mutex_);
    if (!cancelled_.exchange(true) && interrupt_)
        interrupt_();
}

QList<ListingId> ListingFinder::parsed(const QString& joined) {
    QList<ListingId> ids;
    ids.reserve(joined.size() / 7 + 1);
    for (QStringView piece : QStringView(joined).split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids.append(piece.toLongLong());
    return ids;
}

QList<ListingId> ListingFinder::identities(const QList<QStringList>& rows, FoundRows shape) {
    if (!shape.byValue)
        return rows.isEmpty() ? QList<ListingId>() : parsed(rows.first().value(0));
    std::vector<ValueGroup> groups;
    // One group per text as it reads: a file may hold 5 as a number and "5" as a text.
    QHash<QString, std::size_t> at;
    qsizetype count = 0;
    for (const QStringList& row : rows) {
        const QString& text = row.value(0);
        auto found = at.constFind(text);
        if (found == at.constEnd()) {
            found = at.insert(text, groups.size());
            groups.push_back({base::foldedForSearch(text), text, {}});
        }
        QList<ListingId> ids = parsed(row.value(1));
        count += ids.size();
        groups[*found].ids += ids;
    }
    std::sort(groups.begin(), groups.end(), [](const ValueGroup& a, const ValueGroup& b) {
        const std::strong_ordering folded = byCharacters(a.folded, b.folded);
        return folded != 0 ? folded < 0 : byCharacters(a.text, b.text) < 0;
    });
    QList<ListingId> ids;
    ids.reserve(count);
    for (ValueGroup& group : groups) {
        std::sort(group.ids.begin(), group.ids.end());
        ids += group.ids;
    }
    if (shape.descending)
        std::reverse(ids.begin(), ids.end());
    return ids;
}

}  // namespace db

#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "db/listingfinder.h"

namespace listings {

// One finder at work on a thread of its own. Its answer comes back through the
// event loop of the context's thread: the identities found, or the failure's text.
// Going, it stops the finder, and no answer comes after that.
class BackgroundFind {
public:
    using Done = std::function<void(const QList<db::ListingId>& found, const QString& failure)>;
    BackgroundFind(std::unique_ptr<db::ListingFinder> finder, QObject* context, Done done);
    ~BackgroundFind();
    BackgroundFind(const BackgroundFind&) = delete;
    BackgroundFind& operator=(const BackgroundFind&) = delete;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace listings

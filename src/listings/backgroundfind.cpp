#include "backgroundfind.h"

#include <QMetaObject>
#include <mutex>
#include <thread>

#include "db/dberror.h"

namespace listings {

// What the thread and the window share. The thread owns it to its end: a finder
// stopped on a server that has gone silent may take a while to learn it.
struct BackgroundFind::Shared {
    std::mutex mutex;
    bool wanted = true;
    bool finished = false;
    std::unique_ptr<db::ListingFinder> finder;
};

BackgroundFind::BackgroundFind(std::unique_ptr<db::ListingFinder> finder, QObject* context,
                               Done done)
    : shared_(std::make_shared<Shared>()) {
    shared_->finder = std::move(finder);
    std::thread([shared = shared_, context, done = std::move(done)] {
        QList<db::ListingId> found;
        QString failure;
        try {
            found = shared->finder->find();
        } catch (const db::Cancelled&) {
            const std::lock_guard lock(shared->mutex);
            shared->finished = true;
            return;
        } catch (const base::Failure& error) {
            failure = error.text();
        }
        // Under the lock the window cannot go, and after it no answer is wanted.
        const std::lock_guard lock(shared->mutex);
        shared->finished = true;
        if (!shared->wanted)
            return;
        QMetaObject::invokeMethod(
            context,
            [shared, done, found = std::move(found), failure] {
                if (shared->wanted)
                    done(found, failure);
            },
            Qt::QueuedConnection);
    }).detach();
}

BackgroundFind::~BackgroundFind() {
    const std::lock_guard lock(shared_->mutex);
    shared_->wanted = false;
    if (!shared_->finished)
        shared_->finder->cancel();
}

}  // namespace listings

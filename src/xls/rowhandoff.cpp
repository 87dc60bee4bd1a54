#include "rowhandoff.h"

#include <string>

namespace xls {

namespace {
// A batch is handed over at this many rows or bytes, whichever comes first: large
// enough that the two threads seldom wake each other (with a database server on the
// same two cores, each wake is a wait), small enough that the batches in flight stay
// in the caches.
constexpr std::size_t kBatchRows = 1024;
constexpr std::size_t kBatchBytes = 1 << 20;
// Batches waiting at most: the reading side waits when the writing falls behind,
// but not at once when the writing pauses (a table of texts that grows takes a
// moment), which would stop a database server sending rows as well.
constexpr std::size_t kMaxWaiting = 16;
constexpr std::uint32_t kMissing = 0xFFFFFFFF;
}  // namespace

struct RowHandoff::Batch {
    std::string bytes;
    // Each value's length in `bytes`, where the previous one ends, or kMissing.
    std::vector<std::uint32_t> lengths;
    // Where each row's values end in `lengths`.
    std::vector<std::size_t> rowEnds;

    bool full() const { return rowEnds.size() >= kBatchRows || bytes.size() >= kBatchBytes; }
    void clear() {
        bytes.clear();
        lengths.clear();
        rowEnds.clear();
    }
};

RowHandoff::RowHandoff(std::function<void(Row)> write)
    : write_(std::move(write)), filling_(std::make_unique<Batch>()), thread_([this] { run(); }) {}

RowHandoff::~RowHandoff() {
    stop(true);
}

void RowHandoff::add(Row row) {
    Batch& batch = *filling_;
    for (const std::optional<std::string_view>& value : row) {
        if (!value) {
            batch.lengths.push_back(kMissing);
            continue;
        }
        batch.bytes.append(*value);
        batch.lengths.push_back(std::uint32_t(value->size()));
    }
    batch.rowEnds.push_back(batch.lengths.size());
    if (batch.full())
        handOver();
}

void RowHandoff::handOver() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMaxWaiting || failure_; });
    if (failure_) {
        lock.unlock();
        rethrowFailure();
    }
    waiting_.push_back(std::move(filling_));
    if (spare_.empty()) {
        filling_ = std::make_unique<Batch>();
    } else {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    }
    lock.unlock();
    changed_.notify_all();
}

void RowHandoff::finish() {
    if (!filling_->rowEnds.empty())
        handOver();
    stop(false);
    rethrowFailure();
}

void RowHandoff::rethrowFailure() {
    std::exception_ptr failure;
    {
        const std::lock_guard lock(mutex_);
        failure = failure_;
    }
    if (failure)
        std::rethrow_exception(failure);
}

void RowHandoff::stop(bool drop) {
    if (!thread_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
        dropping_ = drop;
    }
    changed_.notify_all();
    thread_.join();
}

void RowHandoff::run() {
    std::vector<std::optional<std::string_view>> row;
    for (;;) {
        std::unique_ptr<Batch> batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !waiting_.empty() || closing_; });
            if (waiting_.empty() || dropping_ || failure_)
                return;
            batch = std::move(waiting_.front());
            waiting_.pop_front();
        }
        changed_.notify_all();
        try {
            std::size_t at = 0;
            std::size_t value = 0;
            for (const std::size_t end : batch->rowEnds) {
                row.clear();
                for (; value < end; ++value) {
                    const std::uint32_t length = batch->lengths[value];
                    if (length == kMissing) {
                        row.emplace_back(std::nullopt);
                        continue;
                    }
                    row.emplace_back(std::string_view(batch->bytes).substr(at, length));
                    at += length;
                }
                write_(row);
            }
        } catch (...) {
            const std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
        }
        batch->clear();
        {
            const std::lock_guard lock(mutex_);
            spare_.push_back(std::move(batch));
        }
        changed_.notify_all();
    }
}

}  // namespace xls

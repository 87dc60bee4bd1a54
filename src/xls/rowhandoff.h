#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

namespace xls {

// Rows handed from the thread that reads them to a thread of their own that writes
// them, so that the reading and the writing each keep a core busy. add() copies a
// row, so its values need to last only until it returns; the rows are written in
// the order they were added, a few thousand at most waiting between the two sides.
// What the writing throws comes back from the next add() or from finish(), and no
// further row is written after it.
class RowHandoff {
public:
    using Row = std::span<const std::optional<std::string_view>>;

    explicit RowHandoff(std::function<void(Row)> write);
    // Rows still waiting are dropped; the one being written is finished first.
    ~RowHandoff();
    RowHandoff(const RowHandoff&) = delete;
    RowHandoff& operator=(const RowHandoff&) = delete;

    void add(Row row);
    // Returns once every row added is written; throws what the writing threw.
    void finish();

private:
    struct Batch;

    void handOver();
    void run();
    void stop(bool drop);
    void rethrowFailure();

    std::function<void(Row)> write_;
    std::unique_ptr<Batch> filling_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Batch>> waiting_;
    std::vector<std::unique_ptr<Batch>> spare_;
    bool closing_ = false;
    bool dropping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace xls

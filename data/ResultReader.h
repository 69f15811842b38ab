#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "base/Exception.h"
#include "data/RowCache.h"
#include "data/drivers/Driver.h"

// Reads a result's rows into its row cache on a thread of its own, so that rows come in while
// the program goes on, and lets go of the driver's result the moment the last row is in (a
// SQLite file's read lock, a server cursor's transaction). While the thread runs it is the
// result's only user and the cache's only writer; any thread may read the rows below the cache's
// RowCount() meanwhile.
class ResultReader {
public:
    // `news` is called on the reading thread now and then as rows come in, and whenever the
    // thread stops; it must only pass the news on (the reader's state is to be read by its owner,
    // not there).
    ResultReader(std::unique_ptr<DriverResult> result, RowCache& cache,
                 std::function<void()> news = {});
    // Stops the thread after the few rows it is reading; the owner cancels a statement first where
    // that row may be long in coming.
    ~ResultReader();
    ResultReader(const ResultReader&) = delete;
    ResultReader& operator=(const ResultReader&) = delete;

    // Reads on until every row is in, or until the cache holds `ceilingBytes` and no one waits
    // for a row beyond it.
    void ReadInBackground(std::size_t ceilingBytes);
    // Reads on until `count` rows are in, the ceiling notwithstanding.
    void ReadTo(std::size_t count);
    // Marks the start of a wait: an Abandon from now on ends it, even one that comes before
    // WaitFor is called (on another thread, say).
    std::uint64_t BeginWait() const { return abandoned_; }
    // Waits until `count` rows are in or the thread has stopped (every row in, a failure, a
    // stop), unless an Abandon since `begun` ends the wait first. Returns whether `count` rows
    // are in.
    bool WaitFor(std::size_t count, std::uint64_t begun);
    // Ends the waits begun so far, from any thread; the reading goes on.
    void Abandon();
    // Stops the thread after the few rows it is reading and waits for it; asking for rows starts it
    // again.
    void Stop();

    // Whether the thread is reading.
    bool Running() const;
    // Every row is in and the driver's result is let go of.
    bool Ended() const;
    // Why reading failed, once it has; the rows before stay, and no more are read.
    std::optional<Exception> Failure() const;

private:
    void Start(std::unique_lock<std::mutex>& lock);
    void Read();
    bool Wanted() const;
    // How many rows to read next.
    std::size_t PieceRows() const;

    std::unique_ptr<DriverResult> result_;
    RowCache& cache_;
    std::function<void()> news_;

    // Guards the decisions to start and to stop, and what the reading ended with. What the
    // reading thread looks at for every row is atomic.
    mutable std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> running_ = false;
    std::atomic<bool> stopping_ = false;
    bool ended_ = false;
    std::optional<Exception> failure_;
    std::atomic<std::size_t> target_ = 0;
    std::atomic<bool> background_ = false;
    std::atomic<std::size_t> ceilingBytes_ = 0;
    std::atomic<std::uint64_t> abandoned_ = 0; // Abandon calls, so that a wait knows of later ones
};

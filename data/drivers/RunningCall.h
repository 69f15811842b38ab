#pragma once

#include <atomic>
#include <mutex>

// The call a connection is running (DriverConnection::Cancel), so that another thread can
// cancel that call and never a later one. Each driver keeps one per connection, together with
// what it needs to reach the statement, which `mutex_` guards as well.
class RunningCall {
public:
    // One call of the connection, from its start to its end. A call the driver makes within
    // another (a query of its own) is part of the outer one.
    class Scope {
    public:
        explicit Scope(RunningCall& call);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

        bool Outermost() const { return outermost_; }

    private:
        RunningCall& call_;
        bool outermost_;
    };

    // Whether the call running now has been cancelled; safe to ask from the thread running it
    // without the lock (a driver's progress callback).
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

protected:
    // While a call runs, runs `deliver(alreadyCancelled)` under the lock; when it reports that
    // it reached the statement, the call is cancelled. With no call running it is dropped.
    template <typename Deliver> void CancelWith(Deliver deliver) noexcept {
        std::lock_guard lock(mutex_);
        if (depth_ > 0 && deliver(Cancelled()))
            cancelled_.store(true, std::memory_order_relaxed);
    }

    // Held by a cancel while it reaches the statement, and briefly by the call as it moves from
    // step to step; never while the call waits for the database.
    std::mutex mutex_;

private:
    int depth_ = 0;
    std::atomic<bool> cancelled_{false};
};

#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "data/LongWork.h"

// Long work as the program runs it: on a thread of its own while the caller waits. With
// `cancelAfter` set, the caller cancels work that has not ended by then, as a user pressing Esc.
class ThreadedWork final : public LongWork {
public:
    std::optional<std::chrono::milliseconds> cancelAfter;
    int cancels = 0;

    void Run(const std::function<void()>& work, const std::function<void()>& cancel) override {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        std::exception_ptr error;
        std::thread thread([&] {
            try {
                work();
            } catch (...) {
                error = std::current_exception();
            }
            std::lock_guard lock(mutex);
            done = true;
            ended.notify_all();
        });
        if (cancelAfter) {
            std::unique_lock lock(mutex);
            if (!ended.wait_for(lock, *cancelAfter, [&] { return done; })) {
                ++cancels;
                lock.unlock();
                cancel();
            }
        }
        thread.join();
        if (error)
            std::rethrow_exception(error);
    }
};

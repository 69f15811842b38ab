#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include <windows.h>

#include "data/LongWork.h"

class TForm;

// Long work as the window runs it: on a worker thread, while this thread goes on handling the
// window's messages, so that it repaints and can be moved. The pointer is the hour-glass over
// the window meanwhile. Keys and clicks wait in the queue for the work to end, unless it lasts
// long enough to be said so (OnLongWait): from then on they are dropped, so that nothing starts
// twice. Esc anywhere in the window cancels the work, and so does closing the window, which then
// closes once the work has ended.
class WindowLongWork final : public LongWork {
public:
    explicit WindowLongWork(TForm& form);
    ~WindowLongWork() override;
    WindowLongWork(const WindowLongWork&) = delete;
    WindowLongWork& operator=(const WindowLongWork&) = delete;

    void Run(const std::function<void()>& work, const std::function<void()>& cancel) override;
    bool Busy() const { return busy_; }
    // Cancels the running work; with `thenClose`, the form is closed once it has ended.
    void Cancel(bool thenClose = false);

    // Told when work has been running long enough for the user to wonder (true), and again when
    // it has ended (false). Not told of work that ends sooner.
    std::function<void(bool)> OnLongWait;

private:
    void Serve();
    void Wait();
    // Whether input taken from the queue during long work is to be dropped; Esc cancels.
    bool Drops(const MSG& message);
    static bool IsInput(UINT message);

    TForm& form_;
    HANDLE done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    const std::function<void()>* task_ = nullptr;
    bool quit_ = false;
    std::exception_ptr error_;
    std::thread worker_;

    bool busy_ = false;
    const std::function<void()>* cancel_ = nullptr;
    bool cancelled_ = false;
    bool closeAfter_ = false;
    std::uint64_t cancelledAt_ = 0;
};

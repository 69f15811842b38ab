#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

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
    // Runs `work` on this thread as long work: the same hour-glass, input and cancelling, with
    // the window's messages handled whenever the work calls Breathe. Runs of its own may be
    // asked for meanwhile; anything else that asks for work is refused.
    void RunHere(const std::function<void()>& work);
    // Within RunHere: handles the window's waiting messages, if it has not for a few
    // milliseconds, and raises EAbort once the user has cancelled.
    void Breathe() override;

    bool Busy() const { return state_ != nullptr; }
    // Cancels the running work; with `thenClose`, the form is closed once it has ended.
    void Cancel(bool thenClose = false);

    // Told when work has been running long enough for the user to wonder (true), and again when
    // it has ended (false). Not told of work that ends sooner.
    std::function<void(bool)> OnLongWait;

private:
    // One piece of work from its start to its end, with whatever runs within it.
    struct Session {
        ULONGLONG started = 0;
        bool toldLong = false;
        bool cancelled = false;
        // Posted keys and clicks kept for when the work has ended.
        std::vector<MSG> held;
        bool quit = false;
        WPARAM quitCode = 0;
    };

    void Serve();
    void Begin(Session& session);
    void End();
    // Handles the messages waiting now, by the rules of the work.
    void HandleMessages();
    void Dispatch(MSG& message);
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

    Session* state_ = nullptr;
    // The cancel of the Run waiting now, if any.
    const std::function<void()>* cancel_ = nullptr;
    bool waiting_ = false;
    bool dispatching_ = false;
    bool closeAfter_ = false;
    ULONGLONG cancelledAt_ = 0;
    std::chrono::steady_clock::time_point lastBreath_;
};

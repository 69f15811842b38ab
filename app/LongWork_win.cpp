#include "app/LongWork_win.h"

#include <chrono>

#include "base/Exception.h"
#include "toolkit/Application_win.h"
#include "toolkit/Forms_win.h"

namespace {

// Work that lasts longer than this is worth saying so.
constexpr ULONGLONG longWaitMs = 500;
// Once the window is closed during work, it waits this long for the work to give way.
constexpr ULONGLONG closeGraceMs = 1500;
// Work on the window's thread lets it handle its messages at least this often.
constexpr auto breath = std::chrono::milliseconds(5);

} // namespace

WindowLongWork::WindowLongWork(TForm& form)
    : form_(form), done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      worker_([this] { Serve(); }) {}

WindowLongWork::~WindowLongWork() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    worker_.join();
    CloseHandle(done_);
}

void WindowLongWork::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return quit_ || task_; });
        if (quit_)
            return;
        const std::function<void()>* task = task_;
        task_ = nullptr;
        lock.unlock();
        std::exception_ptr error;
        try {
            (*task)();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        error_ = error;
        SetEvent(done_);
    }
}

void WindowLongWork::Begin(Session& session) {
    session.started = GetTickCount64();
    state_ = &session;
    Application.SetBusy(true);
}

void WindowLongWork::End() {
    Session& busy = *state_;
    state_ = nullptr;
    Application.SetBusy(false);
    if (busy.toldLong && OnLongWait)
        OnLongWait(false);
    for (const MSG& message : busy.held)
        PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
    if (busy.quit)
        PostQuitMessage(int(busy.quitCode));
    if (closeAfter_) {
        closeAfter_ = false;
        PostMessageW(form_.Handle(), WM_CLOSE, 0, 0);
    }
}

void WindowLongWork::Run(const std::function<void()>& work, const std::function<void()>& cancel) {
    // A message handled while work runs must not start other work on the same database; work
    // on this thread may ask for some of its own.
    if (waiting_ || dispatching_)
        throw EAbort(u"Another piece of work is running");
    Session own;
    bool outermost = !state_;
    if (outermost)
        Begin(own);
    waiting_ = true;
    cancel_ = &cancel;
    if (state_->cancelled)
        cancel();
    {
        std::lock_guard lock(mutex_);
        error_ = nullptr;
        task_ = &work;
    }
    wake_.notify_all();
    while (MsgWaitForMultipleObjectsEx(1, &done_, 100, QS_ALLINPUT, 0) != WAIT_OBJECT_0) {
        HandleMessages();
        // A cancel may reach the work before it has begun what it cancels, which then knows
        // nothing of it: it is repeated until the work ends.
        if (state_->cancelled)
            cancel();
    }
    cancel_ = nullptr;
    waiting_ = false;
    if (outermost)
        End();
    std::exception_ptr error;
    {
        std::lock_guard lock(mutex_);
        error = error_;
        error_ = nullptr;
    }
    if (error)
        std::rethrow_exception(error);
}

void WindowLongWork::RunHere(const std::function<void()>& work) {
    if (state_)
        throw EAbort(u"Another piece of work is running");
    Session own;
    Begin(own);
    struct Ending {
        WindowLongWork& self;
        ~Ending() { self.End(); }
    } ending{*this};
    lastBreath_ = std::chrono::steady_clock::now();
    work();
}

void WindowLongWork::Breathe() {
    if (!state_ || waiting_ || dispatching_)
        return;
    // The tick count is too coarse for a few milliseconds.
    auto now = std::chrono::steady_clock::now();
    if (now - lastBreath_ < breath)
        return;
    lastBreath_ = now;
    HandleMessages();
    if (state_->cancelled)
        throw EAbort(u"Cancelled");
}

void WindowLongWork::HandleMessages() {
    Session& busy = *state_;
    ULONGLONG now = GetTickCount64();
    if (!busy.toldLong && now - busy.started >= longWaitMs) {
        busy.toldLong = true;
        busy.held.clear();
        if (OnLongWait)
            OnLongWait(true);
    }
    MSG message;
    if (busy.toldLong) {
        // The user knows the window is busy now: what was typed or clicked since is not kept
        // for later, so that nothing runs twice. The frame still moves and closes.
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT))
            if (!Drops(message))
                Dispatch(message);
    } else if (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) &&
               message.wParam == VK_ESCAPE) {
        // Until then, input waits its turn in the queue, as typing ahead expects; only Esc is
        // taken out at once.
        PeekMessageW(&message, message.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
        Cancel();
    }
    // Keys and clicks that were posted rather than typed take the same way as typed ones.
    while (PeekMessageW(&message, nullptr, 0, 0,
                        PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) {
        if (!IsInput(message.message))
            Dispatch(message);
        else if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
            Cancel();
        else if (!busy.toldLong)
            busy.held.push_back(message);
        else if (!Drops(message))
            Dispatch(message);
    }
    // A driver that does not give way to a cancel must not keep a closed window's program
    // alive: it ends, as closing it asked.
    if (closeAfter_ && GetTickCount64() - cancelledAt_ >= closeGraceMs)
        ExitProcess(0);
}

void WindowLongWork::Dispatch(MSG& message) {
    if (message.message == WM_QUIT) {
        state_->quit = true;
        state_->quitCode = message.wParam;
        return;
    }
    bool wasDispatching = dispatching_;
    dispatching_ = true;
    try {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    } catch (...) {
        Application.HandleException();
    }
    dispatching_ = wasDispatching;
}

bool WindowLongWork::IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

bool WindowLongWork::Drops(const MSG& message) {
    UINT m = message.message;
    if (m == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
        Cancel();
        return true;
    }
    // Alt+F4 closes the window, which cancels the work.
    if ((m == WM_SYSKEYDOWN || m == WM_SYSKEYUP) && message.wParam == VK_F4)
        return false;
    if (IsInput(m))
        return true;
    return false;
}

void WindowLongWork::Cancel(bool thenClose) {
    if (!state_)
        return;
    if (thenClose && !closeAfter_) {
        closeAfter_ = true;
        cancelledAt_ = GetTickCount64();
    }
    if (state_->cancelled)
        return;
    state_->cancelled = true;
    if (cancel_)
        (*cancel_)();
}

#include "app/LongWork_win.h"

#include <vector>

#include "base/Exception.h"
#include "toolkit/Application_win.h"
#include "toolkit/Forms_win.h"

namespace {

// Work that lasts longer than this is worth saying so.
constexpr DWORD longWaitMs = 500;
// Once the window is closed during work, it waits this long for the work to give way.
constexpr ULONGLONG closeGraceMs = 1500;

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

void WindowLongWork::Run(const std::function<void()>& work, const std::function<void()>& cancel) {
    // Messages handled while work runs must not start other work on the same database.
    if (busy_)
        throw EAbort(u"Another piece of work is running");
    busy_ = true;
    cancel_ = &cancel;
    cancelled_ = false;
    Application.SetBusy(true);
    {
        std::lock_guard lock(mutex_);
        error_ = nullptr;
        task_ = &work;
    }
    wake_.notify_all();
    Wait();
    cancel_ = nullptr;
    busy_ = false;
    Application.SetBusy(false);
    if (closeAfter_) {
        closeAfter_ = false;
        PostMessageW(form_.Handle(), WM_CLOSE, 0, 0);
    }
    std::exception_ptr error;
    {
        std::lock_guard lock(mutex_);
        error = error_;
        error_ = nullptr;
    }
    if (error)
        std::rethrow_exception(error);
}

void WindowLongWork::Wait() {
    ULONGLONG started = GetTickCount64();
    bool toldLong = false;
    bool quit = false;
    WPARAM quitCode = 0;
    auto dispatch = [&](MSG& message) {
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = message.wParam;
            return;
        }
        try {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } catch (...) {
            Application.HandleException();
        }
    };
    // Keys and clicks that were posted rather than typed take the same way as typed ones, kept
    // for when the work has ended.
    std::vector<MSG> held;
    for (;;) {
        // Woken by new messages only: input left waiting in the queue does not wake it again.
        DWORD waited = MsgWaitForMultipleObjectsEx(1, &done_, 100, QS_ALLINPUT, 0);
        if (waited == WAIT_OBJECT_0)
            break;
        ULONGLONG now = GetTickCount64();
        if (!toldLong && now - started >= longWaitMs) {
            toldLong = true;
            held.clear();
            if (OnLongWait)
                OnLongWait(true);
        }
        MSG message;
        if (toldLong) {
            // The user knows the window is busy now: what was typed or clicked since is not
            // kept for later, so that nothing runs twice. The frame still moves and closes.
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT))
                if (!Drops(message))
                    dispatch(message);
        } else if (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) &&
                   message.wParam == VK_ESCAPE) {
            // Until then, input waits its turn in the queue, as typing ahead expects; only Esc
            // is taken out at once.
            PeekMessageW(&message, message.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
            Cancel();
        }
        while (PeekMessageW(&message, nullptr, 0, 0,
                            PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) {
            if (!IsInput(message.message))
                dispatch(message);
            else if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
                Cancel();
            else if (!toldLong)
                held.push_back(message);
            else if (!Drops(message))
                dispatch(message);
        }
        // A cancel may reach the work before it has begun what it cancels, which then knows
        // nothing of it: it is repeated until the work ends.
        if (cancelled_ && cancel_)
            (*cancel_)();
        // A driver that does not give way to a cancel must not keep a closed window's program
        // alive: it ends, as closing it asked.
        if (closeAfter_ && now - cancelledAt_ >= closeGraceMs)
            ExitProcess(0);
    }
    for (const MSG& message : held)
        PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
    if (toldLong && OnLongWait)
        OnLongWait(false);
    if (quit)
        PostQuitMessage(int(quitCode));
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
    if (m >= WM_KEYFIRST && m <= WM_KEYLAST)
        return true;
    // Clicks in the client areas are dropped; those on the frame move or close the window.
    return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST;
}

void WindowLongWork::Cancel(bool thenClose) {
    if (!busy_)
        return;
    if (thenClose && !closeAfter_) {
        closeAfter_ = true;
        cancelledAt_ = GetTickCount64();
    }
    if (cancelled_ || !cancel_)
        return;
    cancelled_ = true;
    (*cancel_)();
}

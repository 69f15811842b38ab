#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "app/ActivityLogText.h"
#include "base/Text.h"
#include "base/WideText_win.h"
#include "platform/Platform_win.h"
#include "tests/QuerySupport.h"

// Message boxes the code under test shows on this thread: each one is read and closed with OK
// from a thread timer, which the box's own modal loop runs.
class MessageBoxWatcher {
public:
    struct Box {
        std::string caption;
        std::string text;
        bool stopIcon;
        bool hasOwner;
    };

    // Answers every box with the button `answer` (IDOK, IDCANCEL).
    explicit MessageBoxWatcher(int answer = IDOK) : answer_(answer) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, OnTimer);
    }
    ~MessageBoxWatcher() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

    std::vector<Box> boxes;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), CollectBox, 0);
    }

    static BOOL CALLBACK CollectBox(HWND window, LPARAM) {
        wchar_t className[32];
        GetClassNameW(window, className, 32);
        if (std::wstring(className) != L"#32770" || !IsWindowVisible(window) ||
            !current_->seen_.insert(window).second)
            return TRUE;
        Box box{ToUtf8(WindowText(window)), "", false, GetWindow(window, GW_OWNER) != nullptr};
        EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&box));
        current_->boxes.push_back(box);
        PostMessageW(window, WM_COMMAND, WPARAM(current_->answer_), 0);
        return TRUE;
    }

    static BOOL CALLBACK CollectStatic(HWND child, LPARAM boxPointer) {
        auto box = reinterpret_cast<Box*>(boxPointer);
        wchar_t className[32];
        GetClassNameW(child, className, 32);
        if (std::wstring(className) != L"Static")
            return TRUE;
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            box->stopIcon = SendMessageW(child, STM_GETICON, 0, 0) != 0;
        else if (box->text.empty())
            box->text = ToUtf8(WindowText(child));
        return TRUE;
    }

    static inline MessageBoxWatcher* current_ = nullptr;
    int answer_;
    UINT_PTR timer_;
    std::set<HWND> seen_;
};

// Windows' own services, except that the keyboard layouts asked for are recorded instead of
// loaded.
class KeyboardRecorder : public WinPlatform {
public:
    void UseKeyboardLayout(const std::u16string& layoutId) override {
        layouts_.push_back(ToUtf8(layoutId));
    }
    std::vector<std::string>& layouts() { return layouts_; }

private:
    std::vector<std::string> layouts_;
};

// A control's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Runs the messages already waiting, so that posted work is done.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A fresh directory of the test's own, made the current directory (where the day's log goes)
// for its lifetime and removed with its content afterwards.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::wstring& prefix) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        GetCurrentDirectoryW(MAX_PATH, previous_);
        path_ = std::wstring(temp) + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++count_);
        CreateDirectoryW(path_.c_str(), nullptr);
        SetCurrentDirectoryW(path_.c_str());
    }
    ~ScratchDirectory() {
        SetCurrentDirectoryW(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(path_), ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::u16string Path(const std::wstring& name) const {
        auto path = path_ + L"\\" + name;
        return std::u16string(path.begin(), path.end());
    }
    // The content of today's activity log in this directory; empty when there is none.
    std::string DayLog() const {
        std::ifstream in(std::filesystem::path(Path(reinterpret_cast<const wchar_t*>(
                             LogFileName(WinPlatform().LocalNow()).c_str()))),
                         std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    static inline int count_ = 0;
    wchar_t previous_[MAX_PATH];
    std::wstring path_;
};

// This program run again with `arguments` (and the variable `name` set to "1" for it), as a
// child process; ended, if it still runs, when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::wstring& arguments, const wchar_t* name) {
        wchar_t program[MAX_PATH];
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(program) + L"\" " + arguments;
        SetEnvironmentVariableW(name, L"1");
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_);
        SetEnvironmentVariableW(name, nullptr);
    }
    ~ChildProcess() {
        if (!started_)
            return;
        TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return started_; }
    // Its first visible top-level window, once it shows (within 30 s); null if none does.
    HWND WaitForWindow() const {
        Found found{process_.dwProcessId, nullptr};
        for (int i = 0; i < 300 && started_ && !found.window; ++i) {
            Sleep(100);
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&found));
        }
        return found.window;
    }
    // Its exit code once it ends within `milliseconds`; none while it still runs.
    std::optional<DWORD> WaitForExit(DWORD milliseconds) const {
        if (!started_ || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0)
            return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    struct Found {
        DWORD process;
        HWND window;
    };
    static BOOL CALLBACK FindWindowOf(HWND window, LPARAM found) {
        auto* f = reinterpret_cast<Found*>(found);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != f->process || !IsWindowVisible(window))
            return TRUE;
        f->window = window;
        return FALSE;
    }

    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

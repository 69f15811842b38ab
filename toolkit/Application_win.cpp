#include "toolkit/Application_win.h"

#include <exception>
#include <memory>
#include <typeinfo>

// GCC and Clang name types in their mangled form; MSVC's names are readable as they are.
#if defined(__GNUC__)
#include <cstdlib>
#include <cxxabi.h>
#endif

#include <commctrl.h>
#include <objbase.h>

#include "base/Exception.h"
#include "base/Text.h"
#include "base/WideText_win.h"
#include "toolkit/ErrorText.h"
#include "toolkit/Forms_win.h"

TApplication Application;

namespace {

std::u16string ModuleFileName(HMODULE module) {
    wchar_t path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
    return U16(path, length);
}

std::u16string WithoutDirectory(const std::u16string& path) {
    auto slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::u16string DemangledName(const std::type_info& type) {
#if defined(__GNUC__)
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return FromUtf8(status == 0 && name ? name.get() : type.name());
#else
    return FromUtf8(type.name());
#endif
}

// Modal to the whole task when there is no owner, as a report with no window behind it must be.
void ReportBox(const std::u16string& text, const std::u16string& caption, HWND owner) {
    UINT flags = MB_OK | MB_ICONSTOP | (owner ? 0 : MB_TASKMODAL);
    MessageBoxW(owner, W(text), W(caption), flags);
}

} // namespace

void TApplication::Initialize() {
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    if (commandLine_.empty())
        commandLine_ = U16(GetCommandLineW());
}

void TApplication::Finalize() {
    if (comInitialized_)
        CoUninitialize();
    comInitialized_ = false;
}

void TApplication::Run(TForm& mainForm, int showCommand) {
    mainForm_ = &mainForm;
    if (showCommand != SW_SHOWMAXIMIZED && showCommand != SW_SHOWMINNOACTIVE)
        showCommand = SW_SHOWNORMAL;
    ShowWindow(mainForm.Handle(), showCommand);
    mainForm.FocusFirstControl();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        try {
            if (!mainForm_ || !IsWindow(mainForm_->Handle()) ||
                !IsDialogMessageW(mainForm_->Handle(), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        } catch (...) {
            HandleException();
        }
    }
}

void TApplication::HandleException() noexcept {
    ReleaseCapture();
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const Exception& error) {
        ShowException(error);
    } catch (...) {
        ShowLastChanceReport();
    }
}

void TApplication::ShowException(const Exception& error) {
    // The box disables its owner; the focus goes back where it was once it is closed.
    HWND focus = GetFocus();
    ReportBox(CompleteWithFullStop(error.Message()), Title(), GetActiveWindow());
    if (focus && IsWindow(focus))
        SetFocus(focus);
}

void TApplication::SetBusy(bool busy) {
    if (busy_ == busy)
        return;
    busy_ = busy;
    // The pointer changes now, not at the next move of the mouse: the window under it is asked
    // again what it should be.
    POINT point;
    if (!GetCursorPos(&point))
        return;
    HWND window = WindowFromPoint(point);
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return;
    LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
}

std::u16string TApplication::Title() const {
    return ApplicationTitle(ModuleFileName(nullptr));
}

void ShowLastChanceReport() noexcept {
    try {
        std::u16string typeName = u"unknown";
        std::u16string message;
        HMODULE module = GetModuleHandleW(nullptr);
        std::uint64_t offset = 0;
        try {
            throw;
        } catch (const Exception& error) {
            typeName = error.TypeName();
            message = error.Message();
            HMODULE raisedIn = nullptr;
            if (error.RaiseAddress() &&
                GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   static_cast<LPCWSTR>(error.RaiseAddress()), &raisedIn)) {
                module = raisedIn;
                offset = reinterpret_cast<std::uintptr_t>(error.RaiseAddress()) -
                         reinterpret_cast<std::uintptr_t>(raisedIn);
            }
        } catch (const std::exception& error) {
            typeName = DemangledName(typeid(error));
            message = FromUtf8(error.what());
        } catch (...) {
        }
        ReportBox(
            LastChanceText(typeName, WithoutDirectory(ModuleFileName(module)), offset, message),
            u"Application Error", nullptr);
    } catch (...) {
    }
}

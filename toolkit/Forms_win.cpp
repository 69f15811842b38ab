#include "toolkit/Forms_win.h"

#include <algorithm>

#include "base/Runtime_win.h"
#include "base/WideText_win.h"
#include "platform/Platform_win.h"
#include "toolkit/Application_win.h"

namespace {

const wchar_t* const kFormClass = L"QrydeskForm";
const DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
const DWORD kFormExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

// Per-monitor density calls exist from Windows 10 on; the program also runs on older systems,
// where the system density applies.
UINT WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (getDpiForWindow)
        return getDpiForWindow(window);
    ScopedGetDC screen(nullptr);
    return static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
}

void AdjustForDpi(RECT& rect, UINT dpi) {
    using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static auto adjust = reinterpret_cast<AdjustFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32"), "AdjustWindowRectExForDpi")));
    if (adjust)
        adjust(&rect, kFormStyle, FALSE, kFormExStyle, dpi);
    else
        AdjustWindowRectEx(&rect, kFormStyle, FALSE, kFormExStyle);
}

} // namespace

TForm::TForm(const Design& design, Platform* platform) : design_(design), platform_(platform) {
    RegisterOwnClass(kFormClass, LoadCursorW(nullptr, IDC_ARROW),
                     reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // The system's default placement; the size is set once the monitor's density is known.
    CreateNativeWindow(kFormClass, W(design.caption), kFormStyle, kFormExStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, design.clientWidth, design.clientHeight, nullptr);
    ApplyDpi(static_cast<int>(WindowDpi(Handle())), nullptr);
    if (!platform_) {
        ownPlatform_ = std::make_unique<WinPlatform>(Handle(), Application.Title());
        platform_ = ownPlatform_.get();
    }
}

TForm::~TForm() {
    // Controls go with the window (Window<T> has destroyed it); their native windows are gone.
    // The font goes after them.
    owned_.clear();
}

int TForm::Scale(int designPixels) const {
    return MulDiv(designPixels, dpi_, 96);
}

void TForm::Loaded() {
    for (auto control : controls_)
        control->Loaded();
    SortTabOrder();
}

void TForm::FocusFirstControl() {
    for (auto control : controls_)
        if (control->TabOrder() >= 0 && control->TabStop()) {
            SetFocus(control->Handle());
            return;
        }
}

void TForm::DoCreate() {
    RunReported(OnCreate);
}

void TForm::DoDestroy() {
    RunReported(OnDestroy);
}

void TForm::RunReported(const TNotifyEvent& handler) {
    try {
        if (handler)
            handler(this);
    } catch (...) {
        Application.HandleException();
    }
}

// The dialog manager moves the focus in the order of the child windows, so that order
// follows the tab order; controls without one come after.
void TForm::SortTabOrder() {
    std::stable_sort(controls_.begin(), controls_.end(), [](TControl* a, TControl* b) {
        unsigned ta = static_cast<unsigned>(a->TabOrder());
        unsigned tb = static_cast<unsigned>(b->TabOrder());
        return ta < tb;
    });
    HWND previous = HWND_TOP;
    for (auto control : controls_) {
        SetWindowPos(control->Handle(), previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control->Handle();
    }
}

void TForm::ApplyDpi(int dpi, const RECT* suggested) {
    dpi_ = dpi;
    // The controls keep the old font until each has the new one.
    GdiObject<HFONT> old(font_.Release());
    font_.Reset(CreateFontW(Scale(design_.fontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, design_.fontName));
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    if (suggested) {
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        RECT frame{0, 0, Scale(design_.clientWidth), Scale(design_.clientHeight)};
        AdjustForDpi(frame, static_cast<UINT>(dpi));
        SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (auto control : controls_)
        control->ApplyScale();
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (auto control = dynamic_cast<TControl*>(FromHandle(reinterpret_cast<HWND>(lParam))))
            control->Notify(HIWORD(wParam));
        return 0;
    case WM_DPICHANGED:
        ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
        // Give the focus back to the control that had it when the window was left.
        if (LOWORD(wParam) == WA_INACTIVE) {
            focusBeforeDeactivation_ = GetFocus();
        } else if (focusBeforeDeactivation_ && IsChild(Handle(), focusBeforeDeactivation_)) {
            SetFocus(focusBeforeDeactivation_);
            return 0;
        }
        break;
    case WM_SETTINGCHANGE:
        // The user changed the regional settings: dates and times follow from now on.
        if (Application.MainForm() == this)
            RefreshFormatSettings();
        break;
    case WM_CLOSE:
        if (OnCloseQuery && !OnCloseQuery())
            return 0;
        break;
    case WM_DESTROY:
        if (Application.MainForm() == this)
            PostQuitMessage(0);
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

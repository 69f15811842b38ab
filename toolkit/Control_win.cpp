#include "toolkit/Control_win.h"

#include <commctrl.h>

#include "base/Exception.h"
#include "base/Runtime_win.h"
#include "base/WideText_win.h"
#include "toolkit/Application_win.h"
#include "toolkit/Forms_win.h"
#include "toolkit/Gdi_win.h"

static_assert(BiDiExStyle::Right == WS_EX_RIGHT && BiDiExStyle::RtlReading == WS_EX_RTLREADING &&
              BiDiExStyle::LeftScrollBar == WS_EX_LEFTSCROLLBAR);

namespace {

const wchar_t* const kSelfProperty = L"Qrydesk.Window";

} // namespace

LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto self = TWindow::FromHandle(window);
    if (!self && message == WM_NCCREATE) {
        self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->handle_ = window;
        SetPropW(window, kSelfProperty, self);
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK SubclassProc(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR self) {
    return reinterpret_cast<TWindow*>(self)->Dispatch(message, wParam, lParam);
}

TWindow::~TWindow() {
    HWND window = handle_;
    if (!window)
        return;
    Detach();
    DestroyWindow(window);
}

TWindow* TWindow::FromHandle(HWND window) {
    return window ? static_cast<TWindow*>(GetPropW(window, kSelfProperty)) : nullptr;
}

void TWindow::RegisterOwnClass(const wchar_t* className, HCURSOR cursor, HBRUSH background) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing))
        return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = OwnClassProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    windowClass.hIcon = LoadIconW(windowClass.hInstance, L"MAINICON");
    RegisterClassExW(&windowClass);
}

void TWindow::CreateNativeWindow(const wchar_t* className, const wchar_t* text, DWORD style,
                                 DWORD exStyle, int x, int y, int width, int height, HWND parent) {
    HWND window = CreateWindowExW(exStyle, className, text, style, x, y, width, height, parent,
                                  nullptr, GetModuleHandleW(nullptr), this);
    if (!window)
        throw Exception(u"Cannot create a window of class " + U16(className));
    if (!handle_) {
        // A system class: our procedure sees its messages from here on.
        handle_ = window;
        SetPropW(window, kSelfProperty, this);
        SetWindowSubclass(window, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
        subclassed_ = true;
    }
}

void TWindow::DestroyNativeWindow() {
    if (handle_)
        DestroyWindow(handle_);
}

void TWindow::Detach() {
    RemovePropW(handle_, kSelfProperty);
    if (subclassed_)
        RemoveWindowSubclass(handle_, SubclassProc, 0);
    handle_ = nullptr;
    subclassed_ = false;
}

LRESULT TWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = handle_;
    LRESULT result = 0;
    if (message == WM_SETCURSOR && Application.Busy() && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    }
    try {
        result = WndProc(message, wParam, lParam);
    } catch (...) {
        Application.HandleException();
    }
    if (message == WM_NCDESTROY && handle_ == window)
        Detach();
    return result;
}

LRESULT TWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TWindow::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return subclassed_ ? DefSubclassProc(handle_, message, wParam, lParam)
                       : DefWindowProcW(handle_, message, wParam, lParam);
}

TControl::TControl(TForm* owner) : owner_(owner) {}

void TControl::SetBounds(int left, int top, int width, int height) {
    bounds_ = {left, top, left + width, top + height};
    if (Handle())
        ApplyScale();
}

bool TControl::TabStop() const {
    return (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_TABSTOP) != 0;
}

std::u16string TControl::Text() const {
    return WindowText(Handle());
}

void TControl::SetText(const std::u16string& text) {
    SetWindowTextW(Handle(), W(text));
}

void TControl::SetBiDiMode(TBiDiMode mode) {
    if (bidi_.SetMode(mode))
        BiDiModeChanged();
}

void TControl::SetParentBiDiMode(bool follow) {
    if (bidi_.SetParentBiDiMode(follow, owner_->BiDiMode()))
        BiDiModeChanged();
}

void TControl::ApplyScale() {
    SetWindowPos(Handle(), nullptr, owner_->Scale(bounds_.left), owner_->Scale(bounds_.top),
                 owner_->Scale(bounds_.right - bounds_.left),
                 owner_->Scale(bounds_.bottom - bounds_.top), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(owner_->Font()), TRUE);
}

void TControl::CreateControl(const wchar_t* className, DWORD style, DWORD exStyle) {
    CreateNativeWindow(className, L"", style | WS_CHILD | WS_VISIBLE, exStyle, 0, 0, 0, 0,
                       owner_->Handle());
    owner_->Insert(this);
    BiDiModeChanged();
}

LRESULT TControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        DoEnter();
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        DoExit();
        return result;
    }
    default:
        return DefaultHandler(message, wParam, lParam);
    }
}

void TControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TControl::BiDiModeChanged() {
    if (!Handle())
        return;
    auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
    exStyle = (exStyle & ~BiDiExStyle::All) |
              bidi_.ExStyleBits(ControlsAlignment(), SysLocale.MiddleEast);
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

TCustomControl::TCustomControl(TForm* owner, const wchar_t* className, DWORD style, DWORD exStyle)
    : TControl(owner) {
    RegisterOwnClass(className, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    CreateControl(className, style, exStyle);
}

LRESULT TCustomControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        ScopedPaint dc(Handle());
        RECT client;
        GetClientRect(Handle(), &client);
        Paint(dc, client);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return TControl::WndProc(message, wParam, lParam);
    }
}

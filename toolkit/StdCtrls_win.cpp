#include "toolkit/StdCtrls_win.h"

#include <algorithm>

#include <windowsx.h>

#include "base/Runtime_win.h"
#include "base/WideText_win.h"
#include "toolkit/Forms_win.h"
#include "toolkit/Gdi_win.h"

namespace {

const wchar_t* const kLabelClass = L"QrydeskLabel";
const wchar_t* const kToolButtonClass = L"QrydeskToolButton";

} // namespace

TCustomLabel::TCustomLabel(TForm* owner) : TCustomControl(owner, kLabelClass, 0, 0) {}

void TCustomLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    BiDiModeChanged();
}

void TCustomLabel::ApplyScale() {
    TControl::ApplyScale();
    AdjustBounds();
}

UINT TCustomLabel::DrawFlags() const {
    TAlignment drawn = BiDi().DrawnAlignment(alignment_, SysLocale.MiddleEast);
    UINT flags = DT_EXPANDTABS | DT_SINGLELINE | DT_NOCLIP;
    flags |= drawn == taLeftJustify ? DT_LEFT : drawn == taRightJustify ? DT_RIGHT : DT_CENTER;
    if (BiDi().UseRightToLeftReading(SysLocale.MiddleEast))
        flags |= DT_RTLREADING;
    return flags;
}

void TCustomLabel::Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    ScopedSelect font(dc, Owner()->Font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    std::u16string text = Text();
    RECT area = client;
    DrawTextW(dc, W(text), static_cast<int>(text.size()), &area, DrawFlags());
}

// The label takes the size of its text; an empty label is as wide as a blank. A label drawn
// against its right edge keeps that edge in place when it grows or shrinks.
void TCustomLabel::AdjustBounds() {
    std::u16string text = Text();
    if (text.empty())
        text.push_back(u' ');
    RECT extent{0, 0, 0, 0};
    {
        ScopedGetDC dc(Handle());
        ScopedSelect font(dc, Owner()->Font());
        DrawTextW(dc, W(text), static_cast<int>(text.size()), &extent, DrawFlags() | DT_CALCRECT);
    }

    RECT window;
    GetWindowRect(Handle(), &window);
    MapWindowPoints(nullptr, Owner()->Handle(), reinterpret_cast<POINT*>(&window), 2);
    int left = window.left;
    bool rightAnchored =
        (alignment_ == taRightJustify) != (SysLocale.MiddleEast && BiDiMode() == bdRightToLeft);
    if (rightAnchored)
        left = window.right - extent.right;
    SetWindowPos(Handle(), nullptr, left, window.top, extent.right, extent.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TCustomLabel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETTEXT: {
        LRESULT result = TCustomControl::WndProc(message, wParam, lParam);
        AdjustBounds();
        return result;
    }
    default:
        return TCustomControl::WndProc(message, wParam, lParam);
    }
}

TCustomEdit::TCustomEdit(TForm* owner) : TCustomEdit(owner, ES_AUTOHSCROLL) {}

TCustomEdit::TCustomEdit(TForm* owner, DWORD extraStyle) : TControl(owner) {
    CreateControl(L"EDIT", WS_TABSTOP | WS_GROUP | ES_AUTOVSCROLL | extraStyle, WS_EX_CLIENTEDGE);
}

void TCustomEdit::SetPasswordChar(char16_t character) {
    SendMessageW(Handle(), EM_SETPASSWORDCHAR, character, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

// An edit aligns its text by its own style, so the right-to-left alignment goes there too.
LRESULT TCustomEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && OnKeyPress) {
        auto key = static_cast<char16_t>(wParam);
        OnKeyPress(this, key);
        if (key == 0)
            return 0;
        wParam = key;
    }
    return TControl::WndProc(message, wParam, lParam);
}

void TCustomEdit::BiDiModeChanged() {
    TControl::BiDiModeChanged();
    auto exStyle = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    auto style = GetWindowLongPtrW(Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(ES_RIGHT);
    if (exStyle & WS_EX_RIGHT)
        style |= ES_RIGHT;
    SetWindowLongPtrW(Handle(), GWL_STYLE, style);
}

TCustomMemo::TCustomMemo(TForm* owner) : TCustomEdit(owner, ES_MULTILINE | ES_WANTRETURN) {}

std::vector<std::u16string> TCustomMemo::Lines() const {
    std::vector<std::u16string> lines;
    auto count = static_cast<int>(SendMessageW(Handle(), EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        auto start = SendMessageW(Handle(), EM_LINEINDEX, i, 0);
        auto length = static_cast<std::size_t>(SendMessageW(Handle(), EM_LINELENGTH, start, 0));
        // EM_GETLINE takes the buffer size in its first unit and may return no terminator.
        std::u16string line(std::max<std::size_t>(length, 1), u'\0');
        line[0] = static_cast<char16_t>(length);
        auto copied = SendMessageW(Handle(), EM_GETLINE, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(static_cast<std::size_t>(copied));
        lines.push_back(std::move(line));
    }
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

void TCustomMemo::SetLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text.append(i ? u"\r\n" : u"").append(lines[i]);
    SetText(text);
}

LRESULT TCustomMemo::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE) {
        // Tab is left to the dialog manager, which moves the focus on.
        auto code = TCustomEdit::WndProc(message, wParam, lParam) & ~DLGC_WANTTAB;
        auto keyMessage = reinterpret_cast<const MSG*>(lParam);
        if (keyMessage && keyMessage->message == WM_KEYDOWN && keyMessage->wParam == VK_TAB)
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        return code;
    }
    return TCustomEdit::WndProc(message, wParam, lParam);
}

TButton::TButton(TForm* owner) : TControl(owner) {
    CreateControl(L"BUTTON", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0);
}

void TButton::Notify(WORD code) {
    if (code == BN_CLICKED && OnClick)
        OnClick(this);
}

TCustomComboBox::TCustomComboBox(TForm* owner) : TControl(owner) {
    CreateControl(L"COMBOBOX", WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, 0);
}

void TCustomComboBox::AddItem(const std::u16string& item) {
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item)));
}

int TCustomComboBox::ItemCount() const {
    return static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

std::u16string TCustomComboBox::Item(int index) const {
    auto length = SendMessageW(Handle(), CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return {};
    std::u16string item(static_cast<std::size_t>(length) + 1, u'\0');
    SendMessageW(Handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(length));
    return item;
}

int TCustomComboBox::ItemIndex() const {
    return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int index) {
    SendMessageW(Handle(), CB_SETCURSEL, index, 0);
}

void TCustomComboBox::ApplyScale() {
    TControl::ApplyScale();
    // The closed box takes the height the system gives its font; the window also spans the
    // drop-down list.
    RECT closed;
    GetWindowRect(Handle(), &closed);
    const int visibleItems = 8;
    auto itemHeight = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(Handle(), nullptr, 0, 0, closed.right - closed.left,
                 Owner()->Scale(DesignBounds().bottom - DesignBounds().top) +
                     visibleItems * itemHeight + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TToolButton::TToolButton(TForm* owner) : TCustomControl(owner, kToolButtonClass, 0, 0) {}

void TToolButton::Paint(HDC dc, const RECT& client) {
    RECT area = client;
    DrawFrameControl(dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
}

LRESULT TToolButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // Pressing it does not move the focus: the user keeps typing where they were.
        tracking_ = pressed_ = true;
        SetCapture(Handle());
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_MOUSEMOVE:
        if (tracking_) {
            RECT client;
            GetClientRect(Handle(), &client);
            bool inside = PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (inside != pressed_) {
                pressed_ = inside;
                InvalidateRect(Handle(), nullptr, FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        bool clicked = tracking_ && pressed_;
        tracking_ = pressed_ = false;
        ReleaseCapture();
        InvalidateRect(Handle(), nullptr, FALSE);
        if (clicked && OnClick)
            OnClick(this);
        return 0;
    }
    case WM_CAPTURECHANGED:
        tracking_ = pressed_ = false;
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    default:
        return TCustomControl::WndProc(message, wParam, lParam);
    }
}

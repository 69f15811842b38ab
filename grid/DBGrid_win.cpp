#include "grid/DBGrid_win.h"

#include <windowsx.h>

#include "base/Runtime_win.h"
#include "grid/DBGridEditor_win.h"
#include "grid/GridInput_win.h"
#include "grid/GridText_win.h"
#include "toolkit/Application_win.h"
#include "toolkit/Forms_win.h"
#include "toolkit/Gdi_win.h"

namespace {

const wchar_t* const kGridClass = L"QrydeskGrid";
const int kIndicatorWidth = 11;     // pixels at 96 dpi
const int kDefaultColumnWidth = 64; // pixels at 96 dpi

} // namespace

TDBGrid::Refresh::~Refresh() {
    try {
        grid_.Changed();
    } catch (...) {
        Application.HandleException();
    }
}

TDBGrid::TDBGrid(TForm* owner)
    : TCustomControl(owner, kGridClass,
                     WS_TABSTOP | WS_GROUP | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN,
                     WS_EX_CLIENTEDGE) {
    // Korean input methods compose text in place, which needs the editor standing open.
    model_.SetAlwaysShowEditor(SysLocale.PriLangID == LANG_KOREAN);
    model_.ConfirmDelete = [this] { return ConfirmDelete(); };
    font_ = owner->Font();
    model_.SetMetrics(Measure());
    RECT client;
    GetClientRect(Handle(), &client);
    model_.SetClientSize(client.right, client.bottom);
    UpdateScrollBars();
}

TDBGrid::~TDBGrid() = default;

bool TDBGrid::ConfirmDelete() {
    return MessageBoxW(Owner()->Handle(), L"Delete record?", L"Confirm",
                       MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void TDBGrid::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    ShowQuery(link_.DataSet());
    Changed();
}

void TDBGrid::ShowQuery(TADOQuery* query) {
    rows_.SetQuery(query);
    model_.SetRowSource(&rows_);
}

void TDBGrid::DataChange(TDataEvent event) {
    TADOQuery* query = link_.DataSet();
    if (query != rows_.Query())
        ShowQuery(query);
    else
        model_.RowsChanged(RowEventFor(event));
    if (event == TDataEvent::ActiveChanged) {
        hotColumn_ = -1;
        if (drag_ != Drag::None)
            ReleaseCapture();
    }
    Changed();
}

void TDBGrid::BiDiModeChanged() {
    TCustomControl::BiDiModeChanged();
    model_.SetRightToLeft(BiDi().UseRightToLeftReading(SysLocale.MiddleEast));
}

GridMetrics TDBGrid::Measure() {
    GridMetrics metrics;
    metrics.indicatorWidth = Owner()->Scale(kIndicatorWidth);
    metrics.defaultColumnWidth = Owner()->Scale(kDefaultColumnWidth);
    TEXTMETRICW textMetrics{};
    SIZE zero{}, wg{};
    {
        ScopedGetDC dc(Handle());
        ScopedSelect font(dc, font_);
        GetTextMetricsW(dc, &textMetrics);
        GetTextExtentPoint32W(dc, L"0", 1, &zero);
        GetTextExtentPoint32W(dc, L"Wg", 2, &wg);
    }
    metrics.zeroWidth = zero.cx;
    metrics.overhang = textMetrics.tmOverhang;
    // Titles and cells share the window's font: Tahoma, 8 points.
    metrics.cellTextHeight = wg.cy;
    metrics.titleTextHeight = wg.cy;
    metrics.titleTextWidth = [this](std::u16string_view title) { return TitleWidth(title); };
    return metrics;
}

int TDBGrid::TitleWidth(std::u16string_view title) {
    ScopedGetDC dc(Handle());
    ScopedSelect font(dc, font_);
    return TextWidth(dc, title);
}

void TDBGrid::Changed() {
    UpdateScrollBars();
    InvalidateRect(Handle(), nullptr, FALSE);
    SyncEditor();
}

void TDBGrid::OnKeyDown(WPARAM key) {
    Refresh refresh(*this);
    model_.KeyDown(KeyOf(key), CurrentShift());
}

void TDBGrid::FocusLeft(HWND to) {
    // Also reached while the window goes, once the query may be gone: only an attached grid
    // has anything to put away. Only a move to another control of the window leaves the grid:
    // a message box (an error report on the typed text, say) or another program taking the
    // focus does not.
    if (!rows_.Query() || !to || !IsChild(Owner()->Handle(), to))
        return;
    Refresh refresh(*this);
    model_.FocusLost();
}

LRESULT TDBGrid::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        model_.SetMetrics(Measure());
        Changed();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
        model_.SetClientSize(LOWORD(lParam), HIWORD(lParam));
        if (!updatingBars_)
            Changed();
        return 0;
    case WM_SETFOCUS: {
        InvalidateRect(Handle(), nullptr, FALSE);
        LRESULT result = TCustomControl::WndProc(message, wParam, lParam);
        SyncEditor(); // an editor standing open takes the focus on
        return result;
    }
    case WM_KILLFOCUS: {
        InvalidateRect(Handle(), nullptr, FALSE);
        LRESULT result = TCustomControl::WndProc(message, wParam, lParam);
        if (!editor_ || reinterpret_cast<HWND>(wParam) != editor_->Handle())
            FocusLeft(reinterpret_cast<HWND>(wParam));
        return result;
    }
    case WM_CHAR:
        OnChar(wchar_t(wParam));
        return 0;
    case WM_COMMAND:
        if (editor_ && reinterpret_cast<HWND>(lParam) == editor_->Handle() &&
            HIWORD(wParam) == EN_CHANGE)
            OnEditorChange();
        return 0;
    case WM_GETDLGCODE:
        // An open result takes every key: Tab moves between cells, Enter and Esc edit. A closed
        // grid lets Tab move the focus on.
        return DLGC_WANTARROWS | DLGC_WANTCHARS |
               (model_.Active() ? DLGC_WANTTAB | DLGC_WANTALLKEYS : 0);
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnMouseUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        SetHotColumn(-1);
        return 0;
    case WM_CAPTURECHANGED:
        if (drag_ != Drag::None && reinterpret_cast<HWND>(lParam) != Handle()) {
            drag_ = Drag::None;
            dragColumn_ = dropIndex_ = -1;
            InvalidateRect(Handle(), nullptr, FALSE);
        }
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && OnSetCursor())
            return TRUE;
        return TCustomControl::WndProc(message, wParam, lParam);
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_VSCROLL:
        OnScroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
        OnScroll(SB_HORZ, LOWORD(wParam));
        return 0;
    default:
        return TCustomControl::WndProc(message, wParam, lParam);
    }
}

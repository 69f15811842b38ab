#include "data/DBGrid_win.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include <usp10.h>
#include <windowsx.h>

#include "base/Runtime_win.h"
#include "base/WideText_win.h"
#include "data/ADOQuery.h"
#include "toolkit/Application_win.h"
#include "toolkit/Forms_win.h"

namespace {

const wchar_t* const kGridClass = L"QrydeskGrid";
const int kIndicatorWidth = 11;     // pixels at 96 dpi
const int kDefaultColumnWidth = 64; // pixels at 96 dpi
const int kTextMargin = 2;

COLORREF Mix(COLORREF a, COLORREF b) {
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    RECT rect{left, top, right, bottom};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// A fixed cell (title or indicator) stands out: a light line along its top and left.
void RaisedEdge(HDC dc, const RECT& cell) {
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    Fill(dc, cell.left, cell.top, cell.right, cell.top + 1, light);
    Fill(dc, cell.left, cell.top, cell.left + 1, cell.bottom, light);
}

// Text beyond what a cell can show never reaches the screen; a very long value is cut well past
// the cell's edge so that drawing it does not lay out megabytes of glyphs.
int DrawnLength(const std::u16string& text, int cellWidth) {
    std::size_t length = std::min(text.size(), std::size_t(cellWidth) * 2 + 256);
    if (length < text.size() && length > 0 && IS_HIGH_SURROGATE(text[length - 1]))
        --length;
    return int(length);
}

// Hebrew, Arabic and the like need the script engine: it orders right-to-left runs and, where
// the font lacks a letter, borrows it from another font as the system's edit controls do.
bool NeedsScriptEngine(const wchar_t* text, int length) {
    return std::any_of(text, text + length, [](wchar_t c) { return c >= 0x0300; });
}

class ScriptString {
public:
    ScriptString(HDC dc, const wchar_t* text, int length) {
        if (length > 0 && FAILED(ScriptStringAnalyse(dc, text, length, length * 3 / 2 + 16, -1,
                                                     SSA_GLYPHS | SSA_FALLBACK, 0, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, &analysis_)))
            analysis_ = nullptr;
    }
    ~ScriptString() {
        if (analysis_)
            ScriptStringFree(&analysis_);
    }
    ScriptString(const ScriptString&) = delete;
    ScriptString& operator=(const ScriptString&) = delete;

    explicit operator bool() const { return analysis_ != nullptr; }
    int Width() const { return ScriptString_pSize(analysis_)->cx; }
    void Draw(int x, int y, const RECT& clip) const {
        ScriptStringOut(analysis_, x, y, ETO_CLIPPED, &clip, 0, 0, FALSE);
    }

private:
    SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
};

int TextWidth(HDC dc, std::u16string_view text) {
    auto chars = reinterpret_cast<const wchar_t*>(text.data());
    int length = int(std::min(text.size(), std::size_t(INT_MAX / 2)));
    if (NeedsScriptEngine(chars, length)) {
        ScriptString script(dc, chars, length);
        if (script)
            return script.Width();
    }
    SIZE size{};
    GetTextExtentPoint32W(dc, chars, length, &size);
    return size.cx;
}

// Fills the cell with the background colour and draws the text inside it, against its left or
// right edge.
void DrawCellText(HDC dc, const RECT& cell, const std::u16string& text, bool rightAligned,
                  int shift) {
    const wchar_t* chars = W(text);
    int length = DrawnLength(text, cell.right - cell.left);
    int y = cell.top + kTextMargin + shift;
    if (NeedsScriptEngine(chars, length)) {
        ScriptString script(dc, chars, length);
        if (script) {
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
            int x =
                rightAligned ? cell.right - kTextMargin - script.Width() : cell.left + kTextMargin;
            int oldMode = SetBkMode(dc, TRANSPARENT);
            script.Draw(x + shift, y, cell);
            SetBkMode(dc, oldMode);
            return;
        }
    }
    SetTextAlign(dc, (rightAligned ? TA_RIGHT : TA_LEFT) | TA_TOP);
    int x = rightAligned ? cell.right - kTextMargin : cell.left + kTextMargin;
    ExtTextOutW(dc, x + shift, y, ETO_OPAQUE | ETO_CLIPPED, &cell, chars, UINT(length), nullptr);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

GridKey KeyOf(WPARAM key) {
    switch (key) {
    case VK_UP:
        return GridKey::Up;
    case VK_DOWN:
        return GridKey::Down;
    case VK_PRIOR:
        return GridKey::PageUp;
    case VK_NEXT:
        return GridKey::PageDown;
    case VK_HOME:
        return GridKey::Home;
    case VK_END:
        return GridKey::End;
    case VK_LEFT:
        return GridKey::Left;
    case VK_RIGHT:
        return GridKey::Right;
    case VK_TAB:
        return GridKey::Tab;
    case VK_INSERT:
        return GridKey::Insert;
    case VK_DELETE:
        return GridKey::Delete;
    case VK_F2:
        return GridKey::F2;
    case VK_RETURN:
        return GridKey::Enter;
    case VK_ESCAPE:
        return GridKey::Escape;
    default:
        return GridKey::Other;
    }
}

bool ScrollOf(WORD code, GridScroll& action) {
    switch (code) {
    case SB_LINEUP:
        action = GridScroll::LineUp;
        return true;
    case SB_LINEDOWN:
        action = GridScroll::LineDown;
        return true;
    case SB_PAGEUP:
        action = GridScroll::PageUp;
        return true;
    case SB_PAGEDOWN:
        action = GridScroll::PageDown;
        return true;
    case SB_TOP:
        action = GridScroll::Top;
        return true;
    case SB_BOTTOM:
        action = GridScroll::Bottom;
        return true;
    case SB_THUMBTRACK:
        action = GridScroll::ThumbTrack;
        return true;
    case SB_THUMBPOSITION:
        action = GridScroll::ThumbPosition;
        return true;
    default:
        return false;
    }
}

bool Pressed(int key) {
    return GetKeyState(key) < 0;
}

GridShift CurrentShift() {
    GridShift shift;
    shift.shift = Pressed(VK_SHIFT);
    shift.ctrl = Pressed(VK_CONTROL);
    shift.alt = Pressed(VK_MENU);
    return shift;
}

// Repaints the grid however a handler ends: a refused value or write leaves it as it was, and
// that must show too.
class Refresh {
public:
    explicit Refresh(std::function<void()> refresh) : refresh_(std::move(refresh)) {}
    ~Refresh() {
        try {
            refresh_();
        } catch (...) {
            Application.HandleException();
        }
    }

private:
    std::function<void()> refresh_;
};

} // namespace

// The cell editor: a borderless edit control over the current cell. Keys that move to another
// cell or row, and those that end editing, go to the grid.
class TGridEditor : public TWindow {
public:
    // Numbers are typed against the right edge, as the cells show them; the extended style
    // carries the grid's right-to-left reading and alignment.
    TGridEditor(TDBGrid& grid, bool rightAligned, DWORD exStyle)
        : grid_(grid), rightAligned_(rightAligned), exStyle_(exStyle) {
        CreateNativeWindow(L"EDIT", L"",
                           WS_CHILD | ES_AUTOHSCROLL | (rightAligned ? ES_RIGHT : ES_LEFT), exStyle,
                           0, 0, 0, 0, grid.Handle());
    }

    bool Made(bool rightAligned, DWORD exStyle) const {
        return rightAligned_ == rightAligned && exStyle_ == exStyle;
    }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_GETDLGCODE:
            // Tab, Enter and Esc belong to the grid, not to the dialog navigation.
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB |
                   DLGC_HASSETSEL;
        case WM_KEYDOWN:
            if (PassesKey(wParam)) {
                grid_.OnKeyDown(wParam);
                return 0;
            }
            break;
        case WM_CHAR: {
            auto c = wchar_t(wParam);
            if (c == L'\r' || c == L'\t' || c == 0x1B)
                return 0; // handled as keys
            if (c >= 0x20 && !grid_.model_.EditorAccepts(char16_t(c))) {
                MessageBeep(MB_OK);
                return 0;
            }
            break;
        }
        case WM_KILLFOCUS: {
            LRESULT result = TWindow::WndProc(message, wParam, lParam);
            if (reinterpret_cast<HWND>(wParam) != grid_.Handle())
                grid_.FocusLeft(reinterpret_cast<HWND>(wParam));
            return result;
        }
        default:
            break;
        }
        return TWindow::WndProc(message, wParam, lParam);
    }

private:
    bool PassesKey(WPARAM key) const {
        DWORD start = 0, end = 0;
        SendMessageW(Handle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
        return EditorPassesKey(KeyOf(key), CurrentShift(), start, end,
                               std::size_t(GetWindowTextLengthW(Handle())));
    }

    TDBGrid& grid_;
    bool rightAligned_;
    DWORD exStyle_;
};

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

HWND TDBGrid::EditorHandle() const {
    return editor_ ? editor_->Handle() : nullptr;
}

bool TDBGrid::ConfirmDelete() {
    return MessageBoxW(Owner()->Handle(), L"Delete record?", L"Confirm",
                       MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void TDBGrid::SetDataSource(TDataSource* source) {
    dataSource_ = source;
    if (source) {
        source->OnDataChange = [this, alive = std::weak_ptr<int>(alive_)](TDataEvent event) {
            if (!alive.expired())
                DataChange(event);
        };
    }
    model_.SetDataSet(source ? source->DataSet() : nullptr);
    Changed();
}

void TDBGrid::DataChange(TDataEvent event) {
    TADOQuery* query = dataSource_ ? dataSource_->DataSet() : nullptr;
    if (query != model_.DataSet())
        model_.SetDataSet(query);
    else
        model_.DataChanged(event);
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
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, font_);
    TEXTMETRICW textMetrics{};
    GetTextMetricsW(dc, &textMetrics);
    SIZE zero{}, wg{};
    GetTextExtentPoint32W(dc, L"0", 1, &zero);
    GetTextExtentPoint32W(dc, L"Wg", 2, &wg);
    SelectObject(dc, oldFont);
    ReleaseDC(Handle(), dc);
    metrics.zeroWidth = zero.cx;
    metrics.overhang = textMetrics.tmOverhang;
    // Titles and cells share the window's font: Tahoma, 8 points.
    metrics.cellTextHeight = wg.cy;
    metrics.titleTextHeight = wg.cy;
    metrics.titleTextWidth = [this](std::u16string_view title) { return TitleWidth(title); };
    return metrics;
}

int TDBGrid::TitleWidth(std::u16string_view title) {
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, font_);
    int width = TextWidth(dc, title);
    SelectObject(dc, oldFont);
    ReleaseDC(Handle(), dc);
    return width;
}

void TDBGrid::Changed() {
    UpdateScrollBars();
    InvalidateRect(Handle(), nullptr, FALSE);
    SyncEditor();
}

// Shows, places and fills the edit control as the model's editor stands.
void TDBGrid::SyncEditor() {
    if (!model_.EditorOpen()) {
        if (editor_ && IsWindowVisible(editor_->Handle())) {
            bool focused = GetFocus() == editor_->Handle();
            ShowWindow(editor_->Handle(), SW_HIDE);
            if (focused)
                SetFocus(Handle());
        }
        return;
    }
    int column = model_.CurrentColumn();
    bool rightAligned = model_.Column(column).rightAligned;
    DWORD exStyle =
        BiDi().ExStyleBits(rightAligned ? taRightJustify : taLeftJustify, SysLocale.MiddleEast);
    if (editor_ && !editor_->Made(rightAligned, exStyle)) {
        // An edit control takes its alignment and reading order when it is made.
        bool focused = GetFocus() == editor_->Handle();
        editor_.reset();
        if (focused)
            SetFocus(Handle());
    }
    if (!editor_) {
        editor_ = std::make_unique<Window<TGridEditor>>(*this, rightAligned, exStyle);
        SendMessageW(editor_->Handle(), WM_SETFONT, WPARAM(font_), FALSE);
        SendMessageW(editor_->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        editorRevision_ = model_.EditorRevision() - 1; // a new control has its text to get
    }
    HWND edit = editor_->Handle();
    int line = int(model_.CurrentRow() - model_.TopRow());
    int left = model_.ColumnLeft(column) + kTextMargin;
    int top = model_.LineTop(line) + kTextMargin;
    int width = model_.Column(column).width - 2 * kTextMargin;
    // A column scrolled partly out of view keeps its editor off the indicator column.
    if (left < model_.DataLeft()) {
        width -= model_.DataLeft() - left;
        left = model_.DataLeft();
    }
    width = std::max(0, width);
    int height = std::max(0, model_.LineHeight() - kTextMargin);
    MoveWindow(edit, left, top, width, height, TRUE);
    if (editorRevision_ != model_.EditorRevision()) {
        editorRevision_ = model_.EditorRevision();
        settingEditorText_ = true;
        SetWindowTextW(edit, W(model_.EditorText()));
        settingEditorText_ = false;
        SendMessageW(edit, EM_SETREADONLY, model_.EditorReadOnly(), 0);
        SendMessageW(edit, EM_LIMITTEXT, WPARAM(model_.EditorLimit()), 0);
        SendMessageW(edit, EM_SETSEL, 0, -1);
    }
    bool focused = GetFocus() == Handle();
    if (!IsWindowVisible(edit))
        ShowWindow(edit, SW_SHOW);
    if (focused)
        SetFocus(edit);
}

void TDBGrid::OnChar(wchar_t c) {
    if (!model_.Active() || (c != L'\b' && c < 0x20))
        return;
    // The editor opens with its text selected, so the character replaces it.
    Refresh refresh([this] { Changed(); });
    model_.OpenEditor();
    SyncEditor();
    if (editor_ && IsWindowVisible(editor_->Handle()))
        SendMessageW(editor_->Handle(), WM_CHAR, WPARAM(c), 0);
}

void TDBGrid::OnEditorChange() {
    if (settingEditorText_ || !editor_)
        return;
    Refresh refresh([this] { Changed(); });
    model_.EditorTextChanged(WindowText(editor_->Handle()));
}

void TDBGrid::FocusLeft(HWND to) {
    // Also reached while the window goes, once the query may be gone: only an attached grid
    // has anything to put away. Only a move to another control of the window leaves the grid:
    // a message box (an error report on the typed text, say) or another program taking the
    // focus does not.
    if (!model_.DataSet() || !to || !IsChild(Owner()->Handle(), to))
        return;
    Refresh refresh([this] { Changed(); });
    model_.FocusLost();
}

// Showing or hiding a bar resizes the client area, which can change the other bar; a few
// passes settle it.
void TDBGrid::UpdateScrollBars() {
    if (updatingBars_)
        return;
    updatingBars_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{updatingBars_};
    for (int pass = 0; pass < 3; ++pass) {
        RECT before;
        GetClientRect(Handle(), &before);
        ScrollBarState vertical = model_.VerticalBar();
        if (vertical.visible)
            SetBar(SB_VERT, {vertical.min, vertical.max, 0, vertical.position});
        else
            SetBar(SB_VERT, {});
        HorizontalBarState horizontal = model_.HorizontalBar();
        if (horizontal.visible)
            SetBar(SB_HORZ, {0, horizontal.max, horizontal.page, horizontal.position});
        else
            SetBar(SB_HORZ, {});
        RECT after;
        GetClientRect(Handle(), &after);
        if (EqualRect(&before, &after))
            break;
        model_.SetClientSize(after.right, after.bottom);
    }
}

// Drawing a bar is slow enough (under Wine above all) to be skipped when nothing changed: most
// moves change the vertical position only.
void TDBGrid::SetBar(int bar, const BarValues& values) {
    BarValues& shown = bar == SB_VERT ? shownVertical_ : shownHorizontal_;
    if (barsShown_ && shown == values)
        return;
    shown = values;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = values.min;
    info.nMax = values.max;
    info.nPage = UINT(values.page);
    info.nPos = values.position;
    SetScrollInfo(Handle(), bar, &info, FALSE);
    // Drawn with the next paint rather than at once, so that moves in a row (a held key, the
    // wheel) draw the bar once.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    barsShown_ = bar == SB_HORZ || barsShown_;
}

void TDBGrid::Paint(HDC target, const RECT& client) {
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    // Drawn off screen and copied at once, so that scrolling does not flicker.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    Fill(dc, 0, 0, width, height, GetSysColor(COLOR_WINDOW));

    int last = model_.ColumnCount() - 1;
    int right =
        std::min(width, model_.ColumnLeft(last) + model_.Column(last).width + GridLineWidth);
    int bottom = std::min(height, model_.LineTop(model_.LinesOnScreen()));
    bool focused = GetFocus() == Handle();

    // The data columns scroll sideways under the indicator column, which stays put.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, model_.DataLeft(), 0, width, height);
    PaintTitles(dc, width);
    PaintLines(dc, width, focused);
    PaintGridLines(dc, right, bottom);
    RestoreDC(dc, saved);
    PaintIndicator(dc);
    if (drag_ == Drag::Move)
        PaintDropMark(dc, bottom);

    BitBlt(target, client.left, client.top, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void TDBGrid::PaintTitles(HDC dc, int width) {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    // A title under the mouse takes a light tint of the selection colour.
    COLORREF window = GetSysColor(COLOR_WINDOW);
    COLORREF hotFace = Mix(window, Mix(window, GetSysColor(COLOR_HIGHLIGHT)));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    int x = model_.ColumnLeft(0);
    for (int c = 0; c < model_.ColumnCount() && x < width; ++c) {
        const GridColumn& column = model_.Column(c);
        RECT cell{x, 0, x + column.width, model_.TitleHeight()};
        x += column.width + GridLineWidth;
        if (cell.right <= model_.DataLeft())
            continue;
        bool pressed = (drag_ == Drag::Press || drag_ == Drag::Move) && c == dragColumn_;
        bool hot = c == hotColumn_ && drag_ == Drag::None;
        SetBkColor(dc, pressed ? Mix(face, GetSysColor(COLOR_BTNSHADOW)) : hot ? hotFace : face);
        DrawCellText(dc, cell, column.title, false, pressed ? 1 : 0);
        if (!pressed)
            RaisedEdge(dc, cell);
    }
}

void TDBGrid::PaintLines(HDC dc, int width, bool focused) {
    int lines = model_.LinesOnScreen();
    for (int line = 0; line < lines; ++line) {
        int top = model_.LineTop(line);
        std::size_t row = 0;
        bool hasRow = model_.RowOnLine(line, row);
        int x = model_.ColumnLeft(0);
        for (int c = 0; c < model_.ColumnCount() && x < width; ++c) {
            const GridColumn& column = model_.Column(c);
            RECT cell{x, top, x + column.width, top + model_.LineHeight()};
            x += column.width + GridLineWidth;
            if (cell.right <= model_.DataLeft())
                continue;
            // Under an open editor the cell keeps the window colours around the edit control.
            bool current = hasRow && focused && row == model_.CurrentRow() &&
                           c == model_.CurrentColumn() && !model_.EditorOpen();
            SetBkColor(dc, GetSysColor(current ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            SetTextColor(dc, GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            DrawCellText(dc, cell, hasRow ? model_.Text(row, c) : std::u16string(),
                         column.rightAligned, 0);
            if (current)
                DrawFocusRect(dc, &cell);
        }
    }
}

void TDBGrid::PaintGridLines(HDC dc, int right, int bottom) {
    COLORREF fixedLine = GetSysColor(COLOR_BTNSHADOW);
    COLORREF dataLine = Mix(GetSysColor(COLOR_BTNFACE), fixedLine);
    int titleHeight = model_.TitleHeight();
    int left = model_.DataLeft();
    int x = model_.ColumnLeft(0);
    for (int c = 0; c < model_.ColumnCount() && x < right; ++c) {
        x += model_.Column(c).width;
        Fill(dc, x, 0, x + GridLineWidth, titleHeight, fixedLine);
        Fill(dc, x, titleHeight, x + GridLineWidth, bottom, dataLine);
        x += GridLineWidth;
    }
    Fill(dc, left, titleHeight, right, titleHeight + GridLineWidth, fixedLine);
    for (int line = 0; line < model_.LinesOnScreen(); ++line) {
        int y = model_.LineTop(line) + model_.LineHeight();
        Fill(dc, left, y, right, y + GridLineWidth, dataLine);
    }
}

void TDBGrid::PaintIndicator(HDC dc) {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    COLORREF line = GetSysColor(COLOR_BTNSHADOW);
    int width = model_.IndicatorWidth();
    RECT title{0, 0, width, model_.TitleHeight()};
    Fill(dc, title.left, title.top, title.right, title.bottom, face);
    RaisedEdge(dc, title);
    Fill(dc, 0, title.bottom, width + GridLineWidth, title.bottom + GridLineWidth, line);
    int bottom = title.bottom + GridLineWidth;
    for (int l = 0; l < model_.LinesOnScreen(); ++l) {
        RECT cell{0, model_.LineTop(l), width, model_.LineTop(l) + model_.LineHeight()};
        Fill(dc, cell.left, cell.top, cell.right, cell.bottom, face);
        RaisedEdge(dc, cell);
        std::size_t row = 0;
        if (model_.RowOnLine(l, row))
            DrawMarker(dc, model_.Marker(row), cell);
        Fill(dc, 0, cell.bottom, width + GridLineWidth, cell.bottom + GridLineWidth, line);
        bottom = cell.bottom + GridLineWidth;
    }
    Fill(dc, width, 0, width + GridLineWidth, bottom, line);
}

// The markers fill a 13 by 13 box (at 96 dpi) centred on the indicator cell.
void TDBGrid::DrawMarker(HDC dc, GridMarker marker, const RECT& cell) {
    if (marker == GridMarker::None)
        return;
    int dpi = Owner()->Dpi();
    auto s = [dpi](double pixels) { return int(std::lround(pixels * dpi / 96.0)); };
    int cx = (cell.left + cell.right) / 2;
    int cy = (cell.top + cell.bottom) / 2;
    COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    HPEN pen = CreatePen(PS_SOLID, 1, ink);
    HBRUSH brush = CreateSolidBrush(ink);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    switch (marker) {
    case GridMarker::Triangle: {
        POINT points[] = {{cx - s(2), cy - s(4)}, {cx + s(2), cy}, {cx - s(2), cy + s(4)}};
        Polygon(dc, points, 3);
        break;
    }
    case GridMarker::IBeam:
        Fill(dc, cx, cy - s(5), cx + 1, cy + s(5) + 1, ink);
        Fill(dc, cx - s(2), cy - s(5), cx + s(2) + 1, cy - s(5) + 1, ink);
        Fill(dc, cx - s(2), cy + s(5), cx + s(2) + 1, cy + s(5) + 1, ink);
        break;
    case GridMarker::Star: {
        POINT points[10];
        for (int i = 0; i < 10; ++i) {
            double angle = -1.5707963267948966 + i * 3.141592653589793 / 5;
            double radius = i % 2 ? 2.2 : 5.5;
            points[i] = {cx + s(radius * std::cos(angle)), cy + s(radius * std::sin(angle))};
        }
        SetPolyFillMode(dc, WINDING);
        Polygon(dc, points, 10);
        break;
    }
    case GridMarker::None:
        break;
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void TDBGrid::PaintDropMark(HDC dc, int bottom) {
    if (dropIndex_ < 0 || dropIndex_ == dragColumn_)
        return;
    const GridColumn& target = model_.Column(dropIndex_);
    int x = dropIndex_ > dragColumn_ ? model_.ColumnLeft(dropIndex_) + target.width
                                     : model_.ColumnLeft(dropIndex_) - GridLineWidth;
    x = std::max(x, model_.DataLeft());
    Fill(dc, x - 1, 0, x + 2, bottom, GetSysColor(COLOR_HIGHLIGHT));
}

void TDBGrid::OnKeyDown(WPARAM key) {
    Refresh refresh([this] { Changed(); });
    model_.KeyDown(KeyOf(key), CurrentShift());
}

void TDBGrid::OnMouseDown(int x, int y) {
    if (GetFocus() != Handle())
        SetFocus(Handle());
    GridHit hit = model_.HitTest(x, y);
    switch (hit.kind) {
    case GridHitKind::ColumnEdge:
        drag_ = Drag::Resize;
        dragColumn_ = hit.column;
        dragOffset_ = x - (model_.ColumnLeft(hit.column) + model_.Column(hit.column).width);
        SetCapture(Handle());
        break;
    case GridHitKind::Title:
        drag_ = Drag::Press;
        dragColumn_ = hit.column;
        dragStartX_ = x;
        dropIndex_ = hit.column;
        SetCapture(Handle());
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    case GridHitKind::Cell:
    case GridHitKind::Indicator: {
        Refresh refresh([this] { Changed(); });
        model_.Click(x, y);
        break;
    }
    default:
        break;
    }
}

void TDBGrid::OnMouseMove(int x, int y) {
    switch (drag_) {
    case Drag::Resize:
        model_.ResizeColumn(dragColumn_, x - dragOffset_ - model_.ColumnLeft(dragColumn_));
        Changed();
        return;
    case Drag::Press:
        if (std::abs(x - dragStartX_) < GetSystemMetrics(SM_CXDRAG))
            return;
        drag_ = Drag::Move;
        [[fallthrough]];
    case Drag::Move:
        dropIndex_ = model_.DropIndex(x);
        InvalidateRect(Handle(), nullptr, FALSE);
        return;
    case Drag::None:
        break;
    }
    GridHit hit = model_.HitTest(x, y);
    SetHotColumn(hit.kind == GridHitKind::Title ? hit.column : -1);
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
}

void TDBGrid::OnMouseUp(int x, int) {
    if (drag_ == Drag::Move)
        model_.MoveColumn(dragColumn_, model_.DropIndex(x));
    drag_ = Drag::None;
    dragColumn_ = dropIndex_ = -1;
    if (GetCapture() == Handle())
        ReleaseCapture();
    Changed();
}

void TDBGrid::OnMouseWheel(int delta) {
    // High-resolution wheels send parts of a notch; they add up to whole ones.
    wheelDelta_ += delta;
    int notches = wheelDelta_ / WHEEL_DELTA;
    wheelDelta_ %= WHEEL_DELTA;
    if (notches && model_.Wheel(-notches))
        Changed();
}

void TDBGrid::OnScroll(int bar, WORD code) {
    GridScroll action;
    if (!ScrollOf(code, action))
        return;
    int position = 0;
    if (action == GridScroll::ThumbTrack || action == GridScroll::ThumbPosition) {
        // The message carries 16 bits of the position; the bar keeps all 32.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), bar, &info);
        position = info.nTrackPos;
    }
    bool changed = bar == SB_VERT ? model_.VerticalScroll(action, position)
                                  : model_.HorizontalScroll(action, position);
    if (changed || action == GridScroll::ThumbPosition)
        Changed();
}

bool TDBGrid::OnSetCursor() {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(Handle(), &point);
    if (drag_ == Drag::Resize ||
        (drag_ == Drag::None && model_.HitTest(point.x, point.y).kind == GridHitKind::ColumnEdge)) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return true;
    }
    return false;
}

void TDBGrid::SetHotColumn(int column) {
    if (column == hotColumn_)
        return;
    hotColumn_ = column;
    RECT titles;
    GetClientRect(Handle(), &titles);
    titles.bottom = model_.TitleHeight();
    InvalidateRect(Handle(), &titles, FALSE);
}

// Only the handlers of WM_SETFOCUS, WM_KILLFOCUS, WM_CAPTURECHANGED and WM_DESTROY run while
// the window is being destroyed, which may be after the query is gone: they leave it alone.
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

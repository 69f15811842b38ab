#include "grid/DBGrid_win.h"

#include <algorithm>
#include <cmath>

#include "grid/GridText_win.h"
#include "toolkit/Forms_win.h"
#include "toolkit/Gdi_win.h"

namespace {

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

} // namespace

void TDBGrid::Paint(HDC target, const RECT& client) {
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    // Drawn off screen and copied at once, so that scrolling does not flicker.
    ScopedMemoryDC dc(target);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target, width, height));
    ScopedSelect selectBitmap(dc, bitmap);
    ScopedSelect selectFont(dc, font_);
    Fill(dc, 0, 0, width, height, GetSysColor(COLOR_WINDOW));

    int last = model_.ColumnCount() - 1;
    int right =
        std::min(width, model_.ColumnLeft(last) + model_.Column(last).width + GridLineWidth);
    int bottom = std::min(height, model_.LineTop(model_.LinesOnScreen()));
    bool focused = GetFocus() == Handle();

    {
        // The data columns scroll sideways under the indicator column, which stays put.
        ScopedSaveDC saved(dc);
        IntersectClipRect(dc, model_.DataLeft(), 0, width, height);
        PaintTitles(dc, width);
        PaintLines(dc, width, focused);
        PaintGridLines(dc, right, bottom);
    }
    PaintIndicator(dc);
    if (drag_ == Drag::Move)
        PaintDropMark(dc, bottom);

    BitBlt(target, client.left, client.top, width, height, dc, 0, 0, SRCCOPY);
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
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ink));
    GdiObject<HBRUSH> brush(CreateSolidBrush(ink));
    ScopedSelect selectPen(dc, pen);
    ScopedSelect selectBrush(dc, brush);
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

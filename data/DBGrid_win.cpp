#include "data/DBGrid_win.h"

#include "toolkit/Forms_win.h"

namespace {

const wchar_t* const kGridClass = L"QrydeskGrid";
const int kIndicatorWidth = 11; // pixels at 96 dpi
const int kDefaultColumnWidth = 64;

void FillCell(HDC dc, RECT cell, int colour) {
    FillRect(dc, &cell, GetSysColorBrush(colour));
}

} // namespace

TDBGrid::TDBGrid(TForm* owner)
    : TCustomControl(owner, kGridClass, WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE) {}

void TDBGrid::Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));

    HGDIOBJ oldFont = SelectObject(dc, Owner()->Font());
    SIZE wg;
    GetTextExtentPoint32W(dc, L"Wg", 2, &wg);
    SelectObject(dc, oldFont);

    const int line = 1;
    int titleHeight = wg.cy + 4;
    int rowHeight = wg.cy + 3;
    int indicator = Owner()->Scale(kIndicatorWidth);
    int column = Owner()->Scale(kDefaultColumnWidth);

    FillCell(dc, {0, 0, indicator + line + column, titleHeight}, COLOR_BTNFACE);
    FillCell(dc, {0, titleHeight + line, indicator, titleHeight + line + rowHeight}, COLOR_BTNFACE);

    HPEN pen = CreatePen(PS_SOLID, line, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int right = indicator + line + column;
    int bottom = titleHeight + line + rowHeight;
    for (int x : {indicator, right}) {
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, bottom + line);
    }
    for (int y : {titleHeight, bottom}) {
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, right + line, y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

LRESULT TDBGrid::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        SetFocus(Handle());
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
        return TCustomControl::WndProc(message, wParam, lParam);
    }
}

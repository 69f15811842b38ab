#pragma once

#include "toolkit/Control_win.h"

// The result grid. With no open result it shows one empty column under an empty title and
// one empty line, beside the row-indicator column.
class TDBGrid : public TCustomControl {
public:
    explicit TDBGrid(TForm* owner);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc, const RECT& client) override;
};

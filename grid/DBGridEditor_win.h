#pragma once

#include "toolkit/Control_win.h"

class TDBGrid;

// The grid's cell editor: a borderless edit control over the current cell. Keys that move to
// another cell or row, and those that end editing, go to the grid; characters the field's
// kind refuses are dropped with a beep.
class TGridEditor : public TWindow {
public:
    // Numbers are typed against the right edge, as the cells show them; the extended style
    // carries the grid's right-to-left reading and alignment.
    TGridEditor(TDBGrid& grid, bool rightAligned, DWORD exStyle);

    // Whether it was made with this alignment and style, which an edit control keeps.
    bool Made(bool rightAligned, DWORD exStyle) const {
        return rightAligned_ == rightAligned && exStyle_ == exStyle;
    }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool PassesKey(WPARAM key) const;

    TDBGrid& grid_;
    bool rightAligned_;
    DWORD exStyle_;
};

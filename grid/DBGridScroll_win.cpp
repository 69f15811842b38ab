#include "grid/DBGrid_win.h"

#include "grid/GridInput_win.h"

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

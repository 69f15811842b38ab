#include "grid/DBGrid_win.h"

#include <cstdlib>

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
        Refresh refresh(*this);
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

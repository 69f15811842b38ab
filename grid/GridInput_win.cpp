#include "grid/GridInput_win.h"

namespace {

bool Pressed(int key) {
    return GetKeyState(key) < 0;
}

} // namespace

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

GridShift CurrentShift() {
    GridShift shift;
    shift.shift = Pressed(VK_SHIFT);
    shift.ctrl = Pressed(VK_CONTROL);
    shift.alt = Pressed(VK_MENU);
    return shift;
}

#include "grid/GridNavigation.h"

#include <algorithm>
#include <climits>

namespace {

int ClampToInt(std::size_t value) {
    return value > std::size_t(INT_MAX) ? INT_MAX : int(value);
}

} // namespace

GridMove NavigationFor(GridKey key, GridShift shift, const GridPlace& place,
                       const GridShape& shape) {
    GridMove move;
    move.handled = true;
    move.column = place.column;
    const int lastColumn = shape.columnCount - 1;
    const std::size_t visible = std::size_t(std::max(1, shape.visibleRows));
    const std::size_t bottom = place.topRow + visible - 1;
    auto rowTo = [&](std::size_t row) {
        if (row != place.row)
            move.row = {RowTarget::To, row};
    };
    auto lastRow = [&] { move.row = {RowTarget::Last, 0}; };
    if (shape.rightToLeft && (key == GridKey::Left || key == GridKey::Right))
        key = key == GridKey::Left ? GridKey::Right : GridKey::Left;

    switch (key) {
    case GridKey::Up:
        if (shift.ctrl)
            rowTo(place.topRow);
        else if (place.row > 0)
            rowTo(place.row - 1);
        break;
    case GridKey::Down:
        rowTo(shift.ctrl ? bottom : place.row + 1);
        break;
    case GridKey::PageUp:
        if (shift.ctrl) {
            rowTo(place.topRow);
        } else {
            rowTo(place.row - std::min(place.row, visible));
            move.keepScreenOffset = true;
        }
        break;
    case GridKey::PageDown:
        if (shift.ctrl) {
            rowTo(bottom);
        } else {
            rowTo(place.row + visible);
            move.keepScreenOffset = true;
        }
        break;
    case GridKey::Home:
        if (shift.ctrl || shape.columnCount == 1)
            rowTo(0);
        else
            move.column = 0;
        break;
    case GridKey::End:
        if (shift.ctrl || shape.columnCount == 1)
            lastRow();
        else
            move.column = lastColumn;
        break;
    case GridKey::Left:
        move.column = shift.ctrl ? 0 : std::max(0, place.column - 1);
        break;
    case GridKey::Right:
        move.column = shift.ctrl ? lastColumn : std::min(lastColumn, place.column + 1);
        break;
    case GridKey::Tab: {
        if (shift.alt) {
            move.handled = false;
            break;
        }
        // With every field read-only there is no stop to skip to; Tab then visits every column
        // rather than spin or trap the user.
        bool anyStop =
            std::find(shape.tabStops.begin(), shape.tabStops.end(), true) != shape.tabStops.end();
        auto isStop = [&](int column) {
            return !anyStop || (column < int(shape.tabStops.size()) && shape.tabStops[column]);
        };
        int column = place.column;
        bool wrapped = false;
        do {
            if (shift.shift) {
                if (--column < 0)
                    column = lastColumn, wrapped = true;
            } else if (++column > lastColumn) {
                column = 0, wrapped = true;
            }
        } while (!isStop(column));
        move.column = column;
        if (wrapped && !shift.shift)
            rowTo(place.row + 1);
        else if (wrapped && place.row > 0)
            rowTo(place.row - 1);
        break;
    }
    default:
        move.handled = false;
        break;
    }
    return move;
}

bool EditorPassesKey(GridKey key, GridShift shift, std::size_t selectionStart,
                     std::size_t selectionEnd, std::size_t textLength) {
    bool all = selectionStart == 0 && selectionEnd == textLength;
    switch (key) {
    case GridKey::Up:
    case GridKey::Down:
    case GridKey::PageUp:
    case GridKey::PageDown:
    case GridKey::Tab:
    case GridKey::Enter:
    case GridKey::Escape:
    case GridKey::F2:
        return true;
    case GridKey::Insert:
        return !shift.shift && !shift.ctrl;
    case GridKey::Delete:
    case GridKey::Home:
    case GridKey::End:
        return shift.ctrl;
    case GridKey::Left:
        return all || (selectionStart == 0 && selectionEnd == 0);
    case GridKey::Right:
        return all || (selectionStart == textLength && selectionEnd == textLength);
    case GridKey::Other:
        return false;
    }
    return false;
}

ScrollBarState VerticalBarFor(std::size_t currentRow, std::size_t fetchedRows, bool allFetched,
                              int visibleRows) {
    ScrollBarState bar;
    std::size_t ahead = std::max(fetchedRows, std::size_t(std::max(1, visibleRows)));
    std::size_t max = allFetched ? fetchedRows : fetchedRows + ahead;
    bar.visible = max >= 2;
    if (!bar.visible)
        return bar;
    bar.max = ClampToInt(max);
    bar.position = std::min(ClampToInt(currentRow + 1), bar.max);
    return bar;
}

GridMove VerticalScrollFor(GridScroll action, int thumbPosition, const GridPlace& place,
                           const GridShape& shape, const ScrollBarState& bar, bool allFetched) {
    GridMove move;
    move.handled = true;
    move.column = place.column;
    const std::size_t visible = std::size_t(std::max(1, shape.visibleRows));
    auto rowTo = [&](std::size_t row) {
        if (row != place.row)
            move.row = {RowTarget::To, row};
    };
    switch (action) {
    case GridScroll::LineUp:
        rowTo(place.topRow > 0 ? place.topRow - 1 : 0);
        break;
    case GridScroll::LineDown:
        rowTo(place.topRow + visible);
        break;
    case GridScroll::PageUp:
        return NavigationFor(GridKey::PageUp, {}, place, shape);
    case GridScroll::PageDown:
        return NavigationFor(GridKey::PageDown, {}, place, shape);
    case GridScroll::Top:
        rowTo(0);
        break;
    case GridScroll::Bottom:
        move.row = {RowTarget::Last, 0};
        break;
    case GridScroll::ThumbPosition:
        if (thumbPosition <= 1)
            rowTo(0);
        else if (allFetched && thumbPosition >= bar.max)
            move.row = {RowTarget::Last, 0};
        else
            rowTo(std::size_t(thumbPosition) - 1);
        break;
    case GridScroll::ThumbTrack:
        // The current row moves when the thumb is let go, not on the way there.
        move.handled = false;
        break;
    }
    return move;
}

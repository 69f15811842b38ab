#pragma once

#include <cstddef>
#include <vector>

// Where keys and scroll-bar actions take the grid's current cell: pure functions of where the
// grid stands and of its shape.

enum class GridKey {
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    Left,
    Right,
    Tab,
    Insert,
    Delete,
    F2,
    Enter,
    Escape,
    Other
};
struct GridShift {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Where the grid stands, and its shape, as navigation sees them.
struct GridPlace {
    std::size_t row = 0;
    int column = 0;
    std::size_t topRow = 0;
};
struct GridShape {
    int columnCount = 1;
    int visibleRows = 1;        // whole data lines that fit
    std::vector<bool> tabStops; // per column: may Tab stop there (its field is not read-only)
    bool rightToLeft = false;   // Left and Right swap
};

// Where a key or a scroll-bar action takes the current row. `To` beyond the last row means
// the last row: the row source stops there, reading no further than the row asked for.
struct RowTarget {
    enum Kind { Stay, To, Last };
    Kind kind = Stay;
    std::size_t row = 0;
};
struct GridMove {
    bool handled = false;
    RowTarget row;
    int column = 0;
    // Page moves shift the top row with the current row, so that it keeps its place on screen.
    bool keepScreenOffset = false;
};

GridMove NavigationFor(GridKey key, GridShift shift, const GridPlace& place,
                       const GridShape& shape);

// Whether a key pressed in the cell editor is the grid's (to another cell or row, or ending the
// edit) rather than the text's. Left and Right stay in the text unless the caret stands at its
// edge or all of it is selected; Home and End go to the grid only with Ctrl; Shift+Insert and
// Ctrl+Insert are the clipboard's.
bool EditorPassesKey(GridKey key, GridShift shift, std::size_t selectionStart,
                     std::size_t selectionEnd, std::size_t textLength);

enum class GridScroll {
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    Top,
    Bottom,
    ThumbTrack,
    ThumbPosition
};

// The vertical scroll bar: its position is the current row's number (1-based) among
// `1 .. max`. While the rows are not all read the number of rows is not known, and reading them
// all only to size the bar would cost a million-row result its quick open. Until the end is
// reached, `max` is therefore twice the rows read so far (at least one screen more): the thumb
// stays in the upper half while more rows may follow, and a thumb let go at the end reads as
// many rows again, never all of them. Once every row is read, `max` is the row count.
struct ScrollBarState {
    bool visible = false;
    int min = 1;
    int max = 1;
    int position = 1;
};
ScrollBarState VerticalBarFor(std::size_t currentRow, std::size_t fetchedRows, bool allFetched,
                              int visibleRows);
GridMove VerticalScrollFor(GridScroll action, int thumbPosition, const GridPlace& place,
                           const GridShape& shape, const ScrollBarState& bar, bool allFetched);

// The horizontal scroll bar, in pixels of the data columns' total width.
struct HorizontalBarState {
    bool visible = false;
    int max = 0;
    int page = 0;
    int position = 0;
};

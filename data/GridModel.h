#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/CellValue.h"
#include "data/DataSource.h"
#include "data/FieldType.h"

class TADOQuery;
struct ValueFormats;

// The result grid without its window: columns and their widths, the current cell, the top
// row, what each key, click, wheel notch and scroll-bar action does, and the text of every
// cell. It follows a query through the data events of its data source and reads rows from the
// query's cache, fetching only as far as the screen (or an explicit move) reaches.
//
// Geometry is in pixels of the grid's client area. The title line comes first, then the data
// lines; a grid line (GridLineWidth) follows every line and every column, the indicator column
// included.

constexpr int GridLineWidth = 1;

// A field's display width in characters, by its kind.
int DisplayWidth(TFieldType type, int size, int precision);
// A new column's width: the display width in digit-zero widths of the cell font, and room for
// the title.
int ColumnWidth(int displayWidth, int zeroWidth, int overhang, int titleWidth);
// Heights of a data line and of the title line from the height of "Wg" in their fonts.
int DataLineHeight(int cellTextHeight);
int TitleLineHeight(int titleTextHeight);
// What a data cell shows: the value as text, or for long text and long bytes a marker of the
// kind, in capitals when there is a value: (MEMO), (Memo) when NULL.
std::u16string CellText(TFieldType type, const CellValue& value, const ValueFormats& formats);

// The state of the current row; the indicator column marks it.
enum class GridRowState { Browsing, Editing, Inserting };
enum class GridMarker { None, Triangle, IBeam, Star };
GridMarker MarkerFor(GridRowState state);

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
// the last row: the query clamps it, fetching no further than the row asked for.
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

// What the grid needs to know of its fonts and its density.
struct GridMetrics {
    int indicatorWidth = 11;
    int defaultColumnWidth = 64;                            // the closed grid's one empty column
    int zeroWidth = 6;                                      // "0" in the cell font
    int overhang = 0;                                       // the cell font's overhang
    int cellTextHeight = 13;                                // "Wg" in the cell font
    int titleTextHeight = 13;                               // "Wg" in the title font
    std::function<int(std::u16string_view)> titleTextWidth; // a title's width in the title font
};

struct GridColumn {
    std::u16string title;
    TFieldType type = TFieldType::Unknown;
    std::size_t cacheColumn = 0;
    int width = 0;
    bool rightAligned = false;
    bool readOnly = false;
};

enum class GridHitKind { Nothing, IndicatorTitle, Title, ColumnEdge, Indicator, Cell };
struct GridHit {
    GridHitKind kind = GridHitKind::Nothing;
    int column = -1;     // Title, ColumnEdge (the column left of the edge), Cell
    std::size_t row = 0; // Indicator, Cell
};

class GridModel {
public:
    explicit GridModel(GridMetrics metrics = {});

    // New fonts or density. Column widths scale by the change of the digit width, so that a
    // width the user dragged keeps its size in characters.
    void SetMetrics(GridMetrics metrics);
    const GridMetrics& Metrics() const { return metrics_; }
    void SetClientSize(int width, int height);
    void SetRightToLeft(bool rightToLeft) { rightToLeft_ = rightToLeft; }

    // The query shown, or none; its present state is taken at once.
    void SetDataSet(TADOQuery* query);
    TADOQuery* DataSet() const { return query_; }
    // The query's data event, as its data source passes it on.
    void DataChanged(TDataEvent event);

    bool Active() const;
    // One empty column with an empty title while closed.
    int ColumnCount() const;
    const GridColumn& Column(int index) const;
    int CurrentColumn() const { return currentColumn_; }
    std::size_t CurrentRow() const { return currentRow_; }
    std::size_t TopRow() const { return topRow_; }
    GridRowState RowState() const;
    // Whole data lines that fit under the title line; at least one.
    int VisibleRows() const;
    // Lines to paint, the last one possibly cut by the bottom edge: the existing rows from the
    // top row on, or the closed grid's one empty line.
    int LinesOnScreen() const;
    // The row shown on a screen line, when that line shows one.
    bool RowOnLine(int line, std::size_t& row) const;
    GridMarker Marker(std::size_t row) const;
    std::u16string Text(std::size_t row, int column) const;

    int TitleHeight() const { return titleHeight_; }
    int LineHeight() const { return lineHeight_; }
    int IndicatorWidth() const { return metrics_.indicatorWidth; }
    // Top of a screen line's cells.
    int LineTop(int line) const;
    // Left of the data columns' area, and of a column's cells after horizontal scrolling.
    int DataLeft() const { return metrics_.indicatorWidth + GridLineWidth; }
    int ColumnLeft(int column) const;
    int TotalColumnsWidth() const;
    int ScrollX() const { return scrollX_; }
    GridHit HitTest(int x, int y) const;
    // The place a title dragged to x would take.
    int DropIndex(int x) const;

    // Input; each returns whether it did anything. Closed, none does. Failures (typed text the
    // field refuses, a write the database refuses) are raised and leave the grid as it was: the
    // row keeps its state and its values, the editor its text.
    bool KeyDown(GridKey key, GridShift shift);
    // Makes the clicked cell current; clicking the current cell opens the editor.
    bool Click(int x, int y);
    // Positive notches move down.
    bool Wheel(int notches);
    bool VerticalScroll(GridScroll action, int thumbPosition);
    bool HorizontalScroll(GridScroll action, int thumbPosition);
    ScrollBarState VerticalBar() const;
    HorizontalBarState HorizontalBar() const;
    void ResizeColumn(int column, int width);
    // Moves a column and its field in the query's field order, so that whatever walks the
    // fields (Copy) follows the grid; the current column stays on its field.
    void MoveColumn(int from, int to);

    // The cell editor over the current cell. The model keeps its text; the view shows it in an
    // edit control and reports every change the user makes there.
    // With `always` the editor never closes: set at creation for a Korean system locale, where
    // input methods compose text in place.
    void SetAlwaysShowEditor(bool always) { alwaysShowEditor_ = always; }
    bool EditorOpen() const { return Active() && editorOpen_; }
    const std::u16string& EditorText() const { return editorText_; }
    // Changes whenever the model sets the editor's text itself, so that the view knows when to
    // put it into its control (and select it all).
    unsigned EditorRevision() const { return editorRevision_; }
    // Whether the current cell's value can be changed; the editor opens on any cell.
    bool EditorReadOnly() const;
    // Characters the editor takes at most; 0 for no limit.
    int EditorLimit() const;
    bool EditorAccepts(char16_t c) const;
    // Opens the editor on the current cell with the field's text, all of it selected.
    bool OpenEditor();
    // The user changed the editor's text: the first change starts editing the row.
    void EditorTextChanged(std::u16string text);
    // Puts the typed text into the field, when it was changed.
    void ApplyEditorText();
    // The focus left the grid: the typed text goes into the field, and a new row nothing was
    // typed into is dropped.
    void FocusLost();
    // Asks "Delete record?"; true for OK. Without it nothing is deleted.
    std::function<bool()> ConfirmDelete;

private:
    void Rebuild();
    bool SameShape() const;
    void Sync();
    void Normalize();
    void Apply(const GridMove& move);
    GridPlace Place() const;
    GridShape Shape() const;
    void EnsureColumnVisible(int column);
    bool CanEdit() const;
    bool EditingKey(GridKey key, GridShift shift);
    bool DownFromLastOrNewRow(const GridMove& move);
    bool OnLastRow() const;
    bool UntouchedNewRow() const;
    // Closes the editor; where it always stands open, opens it afresh on the current cell.
    void CloseEditor();
    // Runs a change of the current row (dropping, adding or deleting one), then moves the grid
    // and its editor to the query's current row and `column`.
    void ChangeRow(int column, const std::function<void()>& change);
    void SetEditorText(std::u16string text);
    std::u16string FieldEditorText() const;
    void ClampScrollX();
    int DataWidth() const;

    GridMetrics metrics_;
    TADOQuery* query_ = nullptr;
    bool active_ = false;
    std::uint64_t resultNumber_ = 0;
    std::vector<GridColumn> columns_;
    GridColumn emptyColumn_;
    int currentColumn_ = 0;
    std::size_t currentRow_ = 0;
    std::size_t topRow_ = 0;
    bool alwaysShowEditor_ = false;
    bool editorOpen_ = false;
    bool editorModified_ = false;
    std::u16string editorText_;
    unsigned editorRevision_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int titleHeight_ = 0;
    int lineHeight_ = 0;
    int scrollX_ = 0;
    bool rightToLeft_ = false;
};

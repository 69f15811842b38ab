#include "data/GridModel.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "data/ADOQuery.h"
#include "data/FieldInput.h"
#include "data/FieldText.h"

namespace {

// Drivers report unbounded text as sizes up to 2^30 characters. Capping a column keeps widths,
// their sums and the drawing coordinates well inside int, and still lets a 4000-character
// column start at its full width at any common density.
constexpr long long maxColumnWidth = 100000;
constexpr int minColumnWidth = 4;
// How near a title's right grid line the mouse resizes instead of moving the column.
constexpr int edgeSlop = 2;

// SQLite declares text without a size ("TEXT", "VARCHAR"): the driver reports 0. Twenty
// characters is the size an unsized character field gets by default; it shows a name or a
// short note whole without letting one column crowd out the rest.
constexpr int unsizedTextWidth = 20;

int ClampToInt(std::size_t value) {
    return value > std::size_t(INT_MAX) ? INT_MAX : int(value);
}

} // namespace

int DisplayWidth(TFieldType type, int size, int precision) {
    switch (type) {
    case TFieldType::String:
    case TFieldType::WideString:
        return size > 0 ? size : unsizedTextWidth;
    case TFieldType::Largeint:
    case TFieldType::Variant:
        return 15;
    case TFieldType::Boolean:
        return 5;
    case TFieldType::DateTime:
        return 18;
    case TFieldType::Date:
    case TFieldType::Time:
        return 10;
    case TFieldType::Decimal:
        return precision > 0 ? precision + 1 : 10;
    case TFieldType::Guid:
        return 38;
    default:
        return 10;
    }
}

int ColumnWidth(int displayWidth, int zeroWidth, int overhang, int titleWidth) {
    long long width = (long long)displayWidth * (zeroWidth - overhang) + overhang + 4;
    width = std::max(width, (long long)titleWidth + 4);
    return int(std::clamp(width, (long long)minColumnWidth, maxColumnWidth));
}

int DataLineHeight(int cellTextHeight) {
    return cellTextHeight + 3 + GridLineWidth;
}

int TitleLineHeight(int titleTextHeight) {
    return titleTextHeight + 4;
}

std::u16string CellText(TFieldType type, const CellValue& value, const ValueFormats& formats) {
    bool null = value.tag == CellValue::Tag::Null;
    switch (type) {
    case TFieldType::Memo:
        return null ? u"(Memo)" : u"(MEMO)";
    case TFieldType::WideMemo:
        return null ? u"(WideMemo)" : u"(WIDEMEMO)";
    case TFieldType::Blob:
        return null ? u"(Blob)" : u"(BLOB)";
    default:
        return FieldValueText(type, value, formats);
    }
}

GridMarker MarkerFor(GridRowState state) {
    switch (state) {
    case GridRowState::Editing:
        return GridMarker::IBeam;
    case GridRowState::Inserting:
        return GridMarker::Star;
    default:
        return GridMarker::Triangle;
    }
}

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

GridModel::GridModel(GridMetrics metrics) {
    metrics_ = std::move(metrics);
    SetMetrics(metrics_);
}

void GridModel::SetMetrics(GridMetrics metrics) {
    int oldZero = metrics_.zeroWidth;
    metrics_ = std::move(metrics);
    if (!metrics_.titleTextWidth)
        metrics_.titleTextWidth = [](std::u16string_view) { return 0; };
    titleHeight_ = TitleLineHeight(metrics_.titleTextHeight);
    lineHeight_ = DataLineHeight(metrics_.cellTextHeight);
    emptyColumn_.width = metrics_.defaultColumnWidth;
    if (oldZero > 0 && oldZero != metrics_.zeroWidth) {
        for (auto& column : columns_)
            column.width = int(std::clamp((long long)column.width * metrics_.zeroWidth / oldZero,
                                          (long long)minColumnWidth, maxColumnWidth));
    }
    ClampScrollX();
}

void GridModel::SetClientSize(int width, int height) {
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
    ClampScrollX();
    Normalize();
}

void GridModel::SetDataSet(TADOQuery* query) {
    query_ = query;
    Rebuild();
}

void GridModel::DataChanged(TDataEvent event) {
    if (event == TDataEvent::UpdateRecord) {
        ApplyEditorText();
        return;
    }
    bool queryActive = query_ && query_->Active();
    if (event == TDataEvent::ActiveChanged || active_ != queryActive ||
        (event == TDataEvent::DataSetChanged && !SameShape()))
        Rebuild();
    else
        Sync();
}

bool GridModel::Active() const {
    return active_ && query_ && query_->Active();
}

int GridModel::ColumnCount() const {
    return Active() ? int(columns_.size()) : 1;
}

const GridColumn& GridModel::Column(int index) const {
    return Active() ? columns_.at(std::size_t(index)) : emptyColumn_;
}

int GridModel::VisibleRows() const {
    int area = clientHeight_ - titleHeight_ - GridLineWidth;
    return std::max(1, area / (lineHeight_ + GridLineWidth));
}

int GridModel::LinesOnScreen() const {
    if (!Active())
        return 1;
    int area = std::max(0, clientHeight_ - titleHeight_ - GridLineWidth);
    int pitch = lineHeight_ + GridLineWidth;
    std::size_t capacity = std::size_t((area + pitch - 1) / pitch);
    std::size_t fetched = query_->FetchedCount();
    return topRow_ >= fetched ? 0 : int(std::min(capacity, fetched - topRow_));
}

bool GridModel::RowOnLine(int line, std::size_t& row) const {
    if (!Active() || line < 0)
        return false;
    row = topRow_ + std::size_t(line);
    return row < query_->FetchedCount();
}

GridMarker GridModel::Marker(std::size_t row) const {
    if (!Active() || row != currentRow_ || row >= query_->FetchedCount())
        return GridMarker::None;
    return MarkerFor(RowState());
}

std::u16string GridModel::Text(std::size_t row, int column) const {
    if (!Active() || row >= query_->FetchedCount() || column < 0 || column >= int(columns_.size()))
        return {};
    const GridColumn& c = columns_[std::size_t(column)];
    // Reopened while display was suspended, the result is not the one the columns describe
    // until the grid catches up.
    if (query_->ResultNumber() != resultNumber_)
        return {};
    return CellText(c.type, query_->CellAt(row, c.cacheColumn), query_->Formats());
}

int GridModel::LineTop(int line) const {
    return titleHeight_ + GridLineWidth + line * (lineHeight_ + GridLineWidth);
}

int GridModel::ColumnLeft(int column) const {
    long long left = DataLeft() - scrollX_;
    for (int i = 0; i < column && i < ColumnCount(); ++i)
        left += Column(i).width + GridLineWidth;
    return int(std::clamp(left, (long long)INT_MIN / 2, (long long)INT_MAX / 2));
}

int GridModel::TotalColumnsWidth() const {
    long long total = 0;
    for (int i = 0; i < ColumnCount(); ++i)
        total += Column(i).width + GridLineWidth;
    return int(std::min(total, (long long)INT_MAX / 2));
}

int GridModel::DataWidth() const {
    return std::max(0, clientWidth_ - DataLeft());
}

GridHit GridModel::HitTest(int x, int y) const {
    GridHit hit;
    if (!Active() || x < 0 || y < 0)
        return hit;
    if (y < titleHeight_) {
        if (x < DataLeft()) {
            hit.kind = GridHitKind::IndicatorTitle;
            return hit;
        }
        for (int c = 0; c < ColumnCount(); ++c) {
            int left = ColumnLeft(c);
            int right = left + Column(c).width; // the column's grid line
            if (x >= right - edgeSlop && x <= right + edgeSlop) {
                hit.kind = GridHitKind::ColumnEdge;
                hit.column = c;
                return hit;
            }
            if (x >= left && x < right) {
                hit.kind = GridHitKind::Title;
                hit.column = c;
                return hit;
            }
        }
        return hit;
    }
    int below = y - titleHeight_ - GridLineWidth;
    if (below < 0)
        return hit;
    int line = below / (lineHeight_ + GridLineWidth);
    std::size_t row;
    if (!RowOnLine(line, row))
        return hit;
    hit.row = row;
    if (x < DataLeft()) {
        hit.kind = GridHitKind::Indicator;
        return hit;
    }
    for (int c = 0; c < ColumnCount(); ++c) {
        int left = ColumnLeft(c);
        if (x >= left && x < left + Column(c).width + GridLineWidth) {
            hit.kind = GridHitKind::Cell;
            hit.column = c;
            return hit;
        }
    }
    return hit;
}

int GridModel::DropIndex(int x) const {
    x = std::max(x, DataLeft());
    for (int c = 0; c < ColumnCount(); ++c)
        if (x < ColumnLeft(c) + Column(c).width + GridLineWidth)
            return c;
    return ColumnCount() - 1;
}

GridPlace GridModel::Place() const {
    return {currentRow_, currentColumn_, topRow_};
}

GridShape GridModel::Shape() const {
    GridShape shape;
    shape.columnCount = ColumnCount();
    shape.visibleRows = VisibleRows();
    shape.rightToLeft = rightToLeft_;
    for (const auto& column : columns_)
        shape.tabStops.push_back(!column.readOnly);
    return shape;
}

GridRowState GridModel::RowState() const {
    if (!Active())
        return GridRowState::Browsing;
    switch (query_->State()) {
    case TDataSetState::Edit:
        return GridRowState::Editing;
    case TDataSetState::Insert:
        return GridRowState::Inserting;
    default:
        return GridRowState::Browsing;
    }
}

bool GridModel::KeyDown(GridKey key, GridShift shift) {
    if (!Active())
        return false;
    if (EditingKey(key, shift))
        return true;
    GridMove move = NavigationFor(key, shift, Place(), Shape());
    if (!move.handled)
        return false;
    // Tab past the last column goes on as Down does, before the first as Up does.
    bool wrappedForward = key == GridKey::Tab && !shift.shift && move.column <= currentColumn_;
    bool wrappedBack = key == GridKey::Tab && shift.shift && move.column >= currentColumn_;
    bool downward = (key == GridKey::Down && !shift.ctrl) || wrappedForward;
    bool upward = (key == GridKey::Up && !shift.ctrl) || wrappedBack;
    if (downward) {
        ApplyEditorText();
        if (DownFromLastOrNewRow(move))
            return true;
    } else if (upward && UntouchedNewRow() && OnLastRow()) {
        // A new row nothing was typed into, standing last: Up only takes it away again.
        ApplyEditorText();
        if (UntouchedNewRow()) {
            ChangeRow(move.column, [this] { query_->Cancel(); });
            return true;
        }
    }
    Apply(move);
    return true;
}

bool GridModel::OnLastRow() const {
    query_->FetchUpTo(currentRow_ + 2);
    return query_->AllFetched() && currentRow_ + 1 >= query_->FetchedCount();
}

bool GridModel::UntouchedNewRow() const {
    return query_->State() == TDataSetState::Insert && !query_->Modified() && !editorModified_;
}

// Down (and Tab past the last column) on the last row appends a row when the result can be
// changed; on a new row nothing was typed into it adds no other, and drops one that does not
// stand last. Returns whether it did all that was to be done.
bool GridModel::DownFromLastOrNewRow(const GridMove& move) {
    if (UntouchedNewRow()) {
        // Dropped, the row that followed it is current.
        if (!OnLastRow())
            ChangeRow(move.column, [this] { query_->Cancel(); });
        return true;
    }
    bool empty = query_->FetchedCount() == 0 && query_->AllFetched();
    if (!(empty || OnLastRow()) || !query_->CanModify())
        return false;
    ChangeRow(move.column, [this] { query_->Append(); });
    return true;
}

bool GridModel::EditingKey(GridKey key, GridShift shift) {
    switch (key) {
    case GridKey::Insert:
        if (shift.ctrl || shift.alt || shift.shift || !query_->CanModify())
            return true;
        ApplyEditorText();
        ChangeRow(currentColumn_, [this] { query_->Insert(); });
        return true;
    case GridKey::Delete:
        if (!shift.ctrl)
            return false;
        if (!query_->CanModify() || query_->FetchedCount() == 0)
            return true;
        if (ConfirmDelete && ConfirmDelete())
            ChangeRow(currentColumn_, [this] { query_->Delete(); });
        return true;
    case GridKey::F2:
        OpenEditor();
        return true;
    case GridKey::Enter: {
        bool wasOpen = editorOpen_;
        ApplyEditorText();
        if (wasOpen)
            CloseEditor();
        else
            OpenEditor();
        return true;
    }
    case GridKey::Escape:
        // Closing drops the cell's typed text: the field keeps its value.
        if (editorOpen_ && editorModified_)
            CloseEditor();
        else
            ChangeRow(currentColumn_, [this] { query_->Cancel(); });
        return true;
    default:
        return false;
    }
}

bool GridModel::CanEdit() const {
    if (!Active() || currentColumn_ >= int(columns_.size()))
        return false;
    return query_->Fields(currentColumn_).CanModify();
}

bool GridModel::EditorReadOnly() const {
    return !CanEdit();
}

int GridModel::EditorLimit() const {
    if (!Active())
        return 0;
    const TField& field = query_->Fields(currentColumn_);
    return FieldInputLimit(field.DataType(), field.Size());
}

bool GridModel::EditorAccepts(char16_t c) const {
    if (!Active())
        return false;
    return FieldAcceptsChar(Column(currentColumn_).type, c, query_->Formats().settings);
}

bool GridModel::OpenEditor() {
    if (!Active() || editorOpen_)
        return false;
    SetEditorText(FieldEditorText());
    editorModified_ = false;
    editorOpen_ = true;
    return true;
}

std::u16string GridModel::FieldEditorText() const {
    if (query_->FetchedCount() == 0)
        return {};
    // Long UTF-16 text starts as its marker: whatever is typed replaces the whole value.
    if (Column(currentColumn_).type == TFieldType::WideMemo)
        return Text(currentRow_, currentColumn_);
    return query_->Fields(currentColumn_).AsString();
}

void GridModel::EditorTextChanged(std::u16string text) {
    if (!EditorOpen() || text == editorText_ || EditorReadOnly())
        return;
    if (!editorModified_ && query_->State() == TDataSetState::Browse)
        query_->Edit();
    editorText_ = std::move(text);
    editorModified_ = true;
}

void GridModel::ApplyEditorText() {
    if (!EditorOpen() || !editorModified_)
        return;
    query_->Fields(currentColumn_).SetText(editorText_);
    editorModified_ = false;
}

void GridModel::FocusLost() {
    if (!Active())
        return;
    ApplyEditorText();
    if (UntouchedNewRow())
        ChangeRow(currentColumn_, [this] { query_->Cancel(); });
    else
        CloseEditor();
}

void GridModel::CloseEditor() {
    editorOpen_ = editorModified_ = false;
    if (alwaysShowEditor_ && Active())
        OpenEditor(); // afresh, with the field's text
}

void GridModel::ChangeRow(int column, const std::function<void()>& change) {
    // Closed first, so that nothing of the old row's editor is applied to the new one.
    editorOpen_ = editorModified_ = false;
    change();
    currentRow_ = query_->RecNo();
    currentColumn_ = column;
    EnsureColumnVisible(currentColumn_);
    Normalize();
    CloseEditor();
}

void GridModel::SetEditorText(std::u16string text) {
    editorText_ = std::move(text);
    ++editorRevision_;
}

bool GridModel::Click(int x, int y) {
    GridHit hit = HitTest(x, y);
    if (hit.kind != GridHitKind::Cell && hit.kind != GridHitKind::Indicator)
        return false;
    if (hit.kind == GridHitKind::Cell && hit.row == currentRow_ && hit.column == currentColumn_) {
        OpenEditor();
        return true;
    }
    GridMove move;
    move.handled = true;
    move.column = hit.kind == GridHitKind::Cell ? hit.column : currentColumn_;
    if (hit.row != currentRow_)
        move.row = {RowTarget::To, hit.row};
    Apply(move);
    return true;
}

bool GridModel::Wheel(int notches) {
    if (!Active() || notches == 0)
        return false;
    GridMove move;
    move.handled = true;
    move.column = currentColumn_;
    std::size_t back = std::min(currentRow_, std::size_t(notches < 0 ? -(long long)notches : 0));
    std::size_t target = notches > 0 ? currentRow_ + std::size_t(notches) : currentRow_ - back;
    if (target != currentRow_)
        move.row = {RowTarget::To, target};
    Apply(move);
    return true;
}

bool GridModel::VerticalScroll(GridScroll action, int thumbPosition) {
    if (!Active())
        return false;
    GridMove move = VerticalScrollFor(action, thumbPosition, Place(), Shape(), VerticalBar(),
                                      query_->AllFetched());
    if (!move.handled)
        return false;
    Apply(move);
    return true;
}

bool GridModel::HorizontalScroll(GridScroll action, int thumbPosition) {
    int page = std::max(1, DataWidth());
    int before = scrollX_;
    // Boundaries between columns, in unscrolled pixels: a line step goes to the next one,
    // but never further than a page, so that a very wide column can be read through.
    auto boundary = [&](bool forward) {
        long long edge = 0;
        for (int c = 0; c < ColumnCount(); ++c) {
            long long next = edge + Column(c).width + GridLineWidth;
            if (forward && next > scrollX_)
                return std::min<long long>(next, (long long)scrollX_ + page);
            if (!forward && next >= scrollX_)
                return std::max<long long>(edge, (long long)scrollX_ - page);
            edge = next;
        }
        return (long long)scrollX_;
    };
    switch (action) {
    case GridScroll::LineUp:
        scrollX_ = int(boundary(false));
        break;
    case GridScroll::LineDown:
        scrollX_ = int(boundary(true));
        break;
    case GridScroll::PageUp:
        scrollX_ -= page;
        break;
    case GridScroll::PageDown:
        scrollX_ += page;
        break;
    case GridScroll::Top:
        scrollX_ = 0;
        break;
    case GridScroll::Bottom:
        scrollX_ = INT_MAX / 2;
        break;
    case GridScroll::ThumbTrack:
    case GridScroll::ThumbPosition:
        scrollX_ = thumbPosition;
        break;
    }
    ClampScrollX();
    return scrollX_ != before;
}

ScrollBarState GridModel::VerticalBar() const {
    if (!Active())
        return {};
    return VerticalBarFor(currentRow_, query_->FetchedCount(), query_->AllFetched(), VisibleRows());
}

HorizontalBarState GridModel::HorizontalBar() const {
    HorizontalBarState bar;
    int total = TotalColumnsWidth();
    bar.page = DataWidth();
    bar.visible = total > bar.page;
    if (bar.visible) {
        bar.max = total - 1;
        bar.position = scrollX_;
    }
    return bar;
}

void GridModel::ResizeColumn(int column, int width) {
    if (!Active() || column < 0 || column >= int(columns_.size()))
        return;
    columns_[std::size_t(column)].width =
        int(std::clamp((long long)width, (long long)minColumnWidth, maxColumnWidth));
    ClampScrollX();
}

void GridModel::MoveColumn(int from, int to) {
    int count = int(columns_.size());
    if (!Active() || from == to || from < 0 || to < 0 || from >= count || to >= count)
        return;
    query_->MoveField(from, to);
    GridColumn moved = std::move(columns_[std::size_t(from)]);
    columns_.erase(columns_.begin() + from);
    columns_.insert(columns_.begin() + to, std::move(moved));
    if (currentColumn_ == from)
        currentColumn_ = to;
    else if (from < currentColumn_ && currentColumn_ <= to)
        --currentColumn_;
    else if (to <= currentColumn_ && currentColumn_ < from)
        ++currentColumn_;
}

void GridModel::Rebuild() {
    columns_.clear();
    active_ = query_ && query_->Active();
    resultNumber_ = query_ ? query_->ResultNumber() : 0;
    currentColumn_ = 0;
    currentRow_ = 0;
    topRow_ = 0;
    scrollX_ = 0;
    editorOpen_ = editorModified_ = false;
    SetEditorText({});
    if (active_) {
        for (int i = 0; i < query_->FieldCount(); ++i) {
            const TField& field = query_->Fields(i);
            GridColumn column;
            column.title = field.FieldName();
            column.type = field.DataType();
            column.cacheColumn = field.CacheColumn();
            column.width = ColumnWidth(DisplayWidth(column.type, field.Size(), field.Precision()),
                                       metrics_.zeroWidth, metrics_.overhang,
                                       metrics_.titleTextWidth(column.title));
            column.rightAligned = IsNumericField(column.type);
            column.readOnly = field.ReadOnly();
            columns_.push_back(std::move(column));
        }
    }
    Sync();
}

bool GridModel::SameShape() const {
    if (!query_ || !query_->Active() || query_->FieldCount() != int(columns_.size()))
        return false;
    for (int i = 0; i < query_->FieldCount(); ++i) {
        const TField& field = query_->Fields(i);
        const GridColumn& column = columns_[std::size_t(i)];
        if (field.FieldName() != column.title || field.DataType() != column.type ||
            field.CacheColumn() != column.cacheColumn)
            return false;
    }
    return true;
}

void GridModel::Sync() {
    if (Active() && currentRow_ != query_->RecNo()) {
        currentRow_ = query_->RecNo();
        // Moved from elsewhere: the editor belonged to the cell left behind.
        if (editorOpen_)
            CloseEditor();
    }
    Normalize();
}

// Keeps the current row on screen and the screen's rows read, and fills the screen at the end
// of a result whose rows are all read. Only as many rows as the screen shows are fetched.
void GridModel::Normalize() {
    if (!Active()) {
        currentRow_ = topRow_ = 0;
        currentColumn_ = 0;
        return;
    }
    currentColumn_ = std::clamp(currentColumn_, 0, std::max(0, ColumnCount() - 1));
    std::size_t visible = std::size_t(VisibleRows());
    if (currentRow_ < topRow_)
        topRow_ = currentRow_;
    else if (currentRow_ >= topRow_ + visible)
        topRow_ = currentRow_ - visible + 1;
    // One row past the screen tells the scroll bar whether more follow.
    query_->FetchUpTo(topRow_ + visible + 2);
    std::size_t count = query_->FetchedCount();
    if (query_->AllFetched() && topRow_ + visible > count)
        topRow_ = count > visible ? count - visible : 0;
}

void GridModel::Apply(const GridMove& move) {
    std::size_t oldRow = currentRow_;
    std::size_t oldTop = topRow_;
    bool leavesCell = move.row.kind != RowTarget::Stay || move.column != currentColumn_;
    if (leavesCell)
        ApplyEditorText();
    RowTarget target = move.row;
    // Leaving a new row nothing was typed into drops it: the rows below move up one.
    if (target.kind == RowTarget::To && target.row > currentRow_ && UntouchedNewRow())
        --target.row;
    if (target.kind == RowTarget::To && move.row.row != currentRow_)
        query_->MoveTo(target.row);
    else if (target.kind == RowTarget::Last)
        query_->Last();
    currentRow_ = query_->RecNo();
    if (move.keepScreenOffset) {
        topRow_ = currentRow_ >= oldRow ? oldTop + (currentRow_ - oldRow)
                                        : oldTop - std::min(oldTop, oldRow - currentRow_);
    }
    currentColumn_ = move.column;
    EnsureColumnVisible(currentColumn_);
    Normalize();
    if (leavesCell)
        CloseEditor();
}

void GridModel::EnsureColumnVisible(int column) {
    if (column < 0 || column >= ColumnCount())
        return;
    int left = ColumnLeft(column) - DataLeft() + scrollX_;
    int right = left + Column(column).width + GridLineWidth;
    int page = DataWidth();
    if (left < scrollX_)
        scrollX_ = left;
    else if (right > scrollX_ + page)
        scrollX_ = std::min(left, right - page);
    ClampScrollX();
}

void GridModel::ClampScrollX() {
    int most = std::max(0, TotalColumnsWidth() - DataWidth());
    scrollX_ = std::clamp(scrollX_, 0, most);
}

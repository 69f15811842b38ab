#include "grid/GridModel.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "data/FieldInput.h"

namespace {

// How near a title's right grid line the mouse resizes instead of moving the column.
constexpr int edgeSlop = 2;

} // namespace

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
            column.width = ClampColumnWidth((long long)column.width * metrics_.zeroWidth / oldZero);
    }
    ClampScrollX();
}

void GridModel::SetClientSize(int width, int height) {
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
    ClampScrollX();
    Normalize();
}

void GridModel::SetRowSource(GridRowSource* rows) {
    rows_ = rows;
    Rebuild();
}

void GridModel::RowsChanged(GridRowEvent event) {
    if (event == GridRowEvent::CommitInput) {
        ApplyEditorText();
        return;
    }
    bool sourceActive = rows_ && rows_->Active();
    if (event == GridRowEvent::Reset || active_ != sourceActive ||
        (event == GridRowEvent::Changed && !SameShape()))
        Rebuild();
    else
        Sync();
}

bool GridModel::Active() const {
    return active_ && rows_ && rows_->Active();
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
    std::size_t read = Rows().RowsRead();
    return topRow_ >= read ? 0 : int(std::min(capacity, read - topRow_));
}

bool GridModel::RowOnLine(int line, std::size_t& row) const {
    if (!Active() || line < 0)
        return false;
    row = topRow_ + std::size_t(line);
    return row < Rows().RowsRead();
}

GridMarker GridModel::Marker(std::size_t row) const {
    if (!Active() || row != currentRow_ || row >= Rows().RowsRead())
        return GridMarker::None;
    return MarkerFor(RowState());
}

std::u16string GridModel::Text(std::size_t row, int column) const {
    if (!Active() || row >= Rows().RowsRead() || column < 0 || column >= int(columns_.size()))
        return {};
    const GridColumn& c = columns_[std::size_t(column)];
    // Reopened while display was suspended, the result is not the one the columns describe
    // until the grid catches up.
    if (Rows().ResultNumber() != resultNumber_)
        return {};
    return CellText(c.type, Rows().Value(row, c.cacheColumn), Rows().Formats());
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
    return Active() ? Rows().RowState() : GridRowState::Browsing;
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
            ChangeRow(move.column, [this] { Rows().Cancel(); });
            return true;
        }
    }
    Apply(move);
    return true;
}

bool GridModel::OnLastRow() {
    Rows().ReadUpTo(currentRow_ + 2);
    return Rows().AllRead() && currentRow_ + 1 >= Rows().RowsRead();
}

bool GridModel::UntouchedNewRow() const {
    return Rows().RowState() == GridRowState::Inserting && !Rows().Modified() && !editorModified_;
}

// Down (and Tab past the last column) on the last row appends a row when the result can be
// changed; on a new row nothing was typed into it adds no other, and drops one that does not
// stand last. Returns whether it did all that was to be done.
bool GridModel::DownFromLastOrNewRow(const GridMove& move) {
    if (UntouchedNewRow()) {
        // Dropped, the row that followed it is current.
        if (!OnLastRow())
            ChangeRow(move.column, [this] { Rows().Cancel(); });
        return true;
    }
    bool empty = Rows().RowsRead() == 0 && Rows().AllRead();
    if (!(empty || OnLastRow()) || !Rows().CanModify())
        return false;
    ChangeRow(move.column, [this] { Rows().Append(); });
    return true;
}

bool GridModel::EditingKey(GridKey key, GridShift shift) {
    switch (key) {
    case GridKey::Insert:
        if (shift.ctrl || shift.alt || shift.shift || !Rows().CanModify())
            return true;
        ApplyEditorText();
        ChangeRow(currentColumn_, [this] { Rows().Insert(); });
        return true;
    case GridKey::Delete:
        if (!shift.ctrl)
            return false;
        if (!Rows().CanModify() || Rows().RowsRead() == 0)
            return true;
        if (ConfirmDelete && ConfirmDelete())
            ChangeRow(currentColumn_, [this] { Rows().Delete(); });
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
            ChangeRow(currentColumn_, [this] { Rows().Cancel(); });
        return true;
    default:
        return false;
    }
}

bool GridModel::CanEdit() {
    if (!Active() || currentColumn_ >= int(columns_.size()))
        return false;
    return Rows().CanModifyCurrent(currentColumn_);
}

bool GridModel::EditorReadOnly() {
    return !CanEdit();
}

int GridModel::EditorLimit() const {
    if (!Active())
        return 0;
    GridSourceColumn column = Rows().Column(currentColumn_);
    return FieldInputLimit(column.type, column.size);
}

bool GridModel::EditorAccepts(char16_t c) const {
    if (!Active())
        return false;
    return FieldAcceptsChar(Column(currentColumn_).type, c, Rows().Formats().settings);
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
    if (Rows().RowsRead() == 0)
        return {};
    // Long UTF-16 text starts as its marker: whatever is typed replaces the whole value.
    if (Column(currentColumn_).type == TFieldType::WideMemo)
        return Text(currentRow_, currentColumn_);
    return Rows().CurrentText(currentColumn_);
}

void GridModel::EditorTextChanged(std::u16string text) {
    if (!EditorOpen() || text == editorText_ || EditorReadOnly())
        return;
    if (!editorModified_ && Rows().RowState() == GridRowState::Browsing)
        Rows().Edit();
    editorText_ = std::move(text);
    editorModified_ = true;
}

void GridModel::ApplyEditorText() {
    if (!EditorOpen() || !editorModified_)
        return;
    Rows().SetCurrentText(currentColumn_, editorText_);
    editorModified_ = false;
}

void GridModel::FocusLost() {
    if (!Active())
        return;
    ApplyEditorText();
    if (UntouchedNewRow())
        ChangeRow(currentColumn_, [this] { Rows().Cancel(); });
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
    currentRow_ = Rows().CurrentRow();
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
    GridMove move =
        VerticalScrollFor(action, thumbPosition, Place(), Shape(), VerticalBar(), Rows().AllRead());
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
    return VerticalBarFor(currentRow_, Rows().RowsRead(), Rows().AllRead(), VisibleRows());
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
    columns_[std::size_t(column)].width = ClampColumnWidth(width);
    ClampScrollX();
}

void GridModel::MoveColumn(int from, int to) {
    int count = int(columns_.size());
    if (!Active() || from == to || from < 0 || to < 0 || from >= count || to >= count)
        return;
    Rows().MoveColumn(from, to);
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
    active_ = rows_ && rows_->Active();
    resultNumber_ = rows_ ? rows_->ResultNumber() : 0;
    currentColumn_ = 0;
    currentRow_ = 0;
    topRow_ = 0;
    scrollX_ = 0;
    editorOpen_ = editorModified_ = false;
    SetEditorText({});
    if (active_) {
        for (int i = 0; i < Rows().ColumnCount(); ++i) {
            GridSourceColumn source = Rows().Column(i);
            GridColumn column;
            column.title = std::move(source.title);
            column.type = source.type;
            column.cacheColumn = source.cacheColumn;
            column.width = ColumnWidth(DisplayWidth(source.type, source.size, source.precision),
                                       metrics_.zeroWidth, metrics_.overhang,
                                       metrics_.titleTextWidth(column.title));
            column.rightAligned = IsNumericField(column.type);
            column.readOnly = source.readOnly;
            columns_.push_back(std::move(column));
        }
    }
    Sync();
}

bool GridModel::SameShape() const {
    if (!rows_ || !rows_->Active() || rows_->ColumnCount() != int(columns_.size()))
        return false;
    for (int i = 0; i < Rows().ColumnCount(); ++i) {
        GridSourceColumn source = Rows().Column(i);
        const GridColumn& column = columns_[std::size_t(i)];
        if (source.title != column.title || source.type != column.type ||
            source.cacheColumn != column.cacheColumn)
            return false;
    }
    return true;
}

void GridModel::Sync() {
    if (Active() && currentRow_ != Rows().CurrentRow()) {
        currentRow_ = Rows().CurrentRow();
        // Moved from elsewhere: the editor belonged to the cell left behind.
        if (editorOpen_)
            CloseEditor();
    }
    Normalize();
}

// Keeps the current row on screen and fills the screen at the end of a result whose rows are
// all read. This is where the screen's rows are read, by every step that moves or resizes the
// grid or follows an event; no more are read than the screen shows.
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
    Rows().ReadUpTo(topRow_ + visible + 2);
    std::size_t count = Rows().RowsRead();
    if (Rows().AllRead() && topRow_ + visible > count)
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
        Rows().MoveTo(target.row);
    else if (target.kind == RowTarget::Last)
        Rows().MoveToLast();
    currentRow_ = Rows().CurrentRow();
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

#include "grid/QueryRowSource.h"

#include "data/ADOQuery.h"

// Without a query there is nothing to show; the grid asks for no more than that.

bool QueryRowSource::Active() const {
    return query_ && query_->Active();
}

std::uint64_t QueryRowSource::ResultNumber() const {
    return query_ ? query_->ResultNumber() : 0;
}

int QueryRowSource::ColumnCount() const {
    return query_ ? query_->FieldCount() : 0;
}

GridSourceColumn QueryRowSource::Column(int index) const {
    const TField& field = query_->Fields(index);
    GridSourceColumn column;
    column.title = field.FieldName();
    column.type = field.DataType();
    column.size = field.Size();
    column.precision = field.Precision();
    column.readOnly = field.ReadOnly();
    column.cacheColumn = field.CacheColumn();
    return column;
}

void QueryRowSource::MoveColumn(int from, int to) {
    query_->MoveField(from, to);
}

std::size_t QueryRowSource::RowsRead() const {
    return query_ ? query_->FetchedCount() : 0;
}

bool QueryRowSource::AllRead() const {
    return query_ && query_->AllFetched();
}

bool QueryRowSource::ReadUpTo(std::size_t count) {
    return query_ && query_->FetchUpTo(count);
}

CellValue QueryRowSource::Value(std::size_t row, std::size_t cacheColumn) const {
    return query_->CellAt(row, cacheColumn);
}

const ValueFormats& QueryRowSource::Formats() const {
    return query_->Formats();
}

std::size_t QueryRowSource::CurrentRow() const {
    return query_ ? query_->RecNo() : 0;
}

void QueryRowSource::MoveTo(std::size_t row) {
    query_->MoveTo(row);
}

void QueryRowSource::MoveToLast() {
    query_->Last();
}

GridRowState QueryRowSource::RowState() const {
    switch (query_ ? query_->State() : TDataSetState::Inactive) {
    case TDataSetState::Edit:
        return GridRowState::Editing;
    case TDataSetState::Insert:
        return GridRowState::Inserting;
    default:
        return GridRowState::Browsing;
    }
}

bool QueryRowSource::Modified() const {
    return query_ && query_->Modified();
}

bool QueryRowSource::CanModify() {
    return query_ && query_->CanModify();
}

bool QueryRowSource::CanModifyCurrent(int column) {
    return query_->Fields(column).CanModify();
}

std::u16string QueryRowSource::CurrentText(int column) const {
    return query_->Fields(column).AsString();
}

void QueryRowSource::SetCurrentText(int column, std::u16string_view text) {
    query_->Fields(column).SetText(text);
}

void QueryRowSource::Edit() {
    query_->Edit();
}

void QueryRowSource::Insert() {
    query_->Insert();
}

void QueryRowSource::Append() {
    query_->Append();
}

void QueryRowSource::Cancel() {
    query_->Cancel();
}

void QueryRowSource::Delete() {
    query_->Delete();
}

GridRowEvent RowEventFor(TDataEvent event) {
    switch (event) {
    case TDataEvent::ActiveChanged:
        return GridRowEvent::Reset;
    case TDataEvent::Scrolled:
        return GridRowEvent::Moved;
    case TDataEvent::DataSetChanged:
        return GridRowEvent::Changed;
    case TDataEvent::UpdateRecord:
        return GridRowEvent::CommitInput;
    }
    return GridRowEvent::Changed;
}

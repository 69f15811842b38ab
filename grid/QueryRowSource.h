#pragma once

#include "data/DataSource.h"
#include "grid/GridRowSource.h"

class TADOQuery;

// The rows of a query, or of none, for the grid: its fields are the columns, its row cache the
// rows read, its cursor and its pending row the grid's.
class QueryRowSource final : public GridRowSource {
public:
    explicit QueryRowSource(TADOQuery* query = nullptr) : query_(query) {}

    TADOQuery* Query() const { return query_; }
    void SetQuery(TADOQuery* query) { query_ = query; }

    bool Active() const override;
    std::uint64_t ResultNumber() const override;
    int ColumnCount() const override;
    GridSourceColumn Column(int index) const override;
    void MoveColumn(int from, int to) override;
    std::size_t RowsRead() const override;
    bool AllRead() const override;
    bool ReadUpTo(std::size_t count) override;
    CellValue Value(std::size_t row, std::size_t cacheColumn) const override;
    const ValueFormats& Formats() const override;
    std::size_t CurrentRow() const override;
    void MoveTo(std::size_t row) override;
    void MoveToLast() override;
    GridRowState RowState() const override;
    bool Modified() const override;
    bool CanModify() override;
    bool CanModifyCurrent(int column) override;
    std::u16string CurrentText(int column) const override;
    void SetCurrentText(int column, std::u16string_view text) override;
    void Edit() override;
    void Insert() override;
    void Append() override;
    void Cancel() override;
    void Delete() override;

private:
    TADOQuery* query_;
};

// The grid's event for a data event of the query.
GridRowEvent RowEventFor(TDataEvent event);

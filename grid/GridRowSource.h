#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/CellValue.h"
#include "data/FieldType.h"

struct ValueFormats;

// The rows a grid shows, as the grid asks for them: columns, the rows read so far, reading
// more, a cursor and the edits of the current row.
//
// Reading is an explicit step. Only the non-const methods may reach the database for rows:
// ReadUpTo, the cursor's moves, and the edits, which may read the rest of the result before
// they change anything. The const methods look at what is already read, so that painting and
// measuring never wait for the database.

// What changed in the rows, as the grid hears of it.
enum class GridRowEvent {
    Reset,       // opened or closed: the columns and the rows are new
    Moved,       // the current row moved
    Changed,     // anything may have changed: catch up with everything
    CommitInput, // the pending row is about to be written: put typed input into it first
};

// The state of the current row; the indicator column marks it.
enum class GridRowState { Browsing, Editing, Inserting };

struct GridSourceColumn {
    std::u16string title;
    TFieldType type = TFieldType::Unknown;
    int size = 0;      // declared characters of text
    int precision = 0; // digits of an exact decimal
    bool readOnly = false;
    // Where Value finds the column's values, whatever the present column order.
    std::size_t cacheColumn = 0;
};

class GridRowSource {
public:
    virtual ~GridRowSource() = default;

    // Whether there is a result, and which: the number changes with every result opened.
    virtual bool Active() const = 0;
    virtual std::uint64_t ResultNumber() const = 0;

    // Columns in their present order; Column raises for an index out of range.
    virtual int ColumnCount() const = 0;
    virtual GridSourceColumn Column(int index) const = 0;
    // Moves a column to another place in the order, which whatever walks the columns follows.
    virtual void MoveColumn(int from, int to) = 0;

    // Rows read so far, and whether that is all of them.
    virtual std::size_t RowsRead() const = 0;
    virtual bool AllRead() const = 0;
    // Reads rows until `count` are read or none are left; returns whether `count` are. A read
    // that fails raises, and raises the same error each time the missing rows are asked for.
    virtual bool ReadUpTo(std::size_t count) = 0;
    // A value of a row already read; the current row shows its pending edits.
    virtual CellValue Value(std::size_t row, std::size_t cacheColumn) const = 0;
    // How values show and typed text is read: the user's formats. Asked only while active.
    virtual const ValueFormats& Formats() const = 0;

    // The cursor: 0-based. MoveTo reads up to the row and stops at the last one; MoveToLast
    // reads every row. A move first writes a changed pending row and drops an unchanged one.
    virtual std::size_t CurrentRow() const = 0;
    virtual void MoveTo(std::size_t row) = 0;
    virtual void MoveToLast() = 0;

    // Editing the current row; a refused value or write raises and changes nothing.
    virtual GridRowState RowState() const = 0;
    // Whether a value was put into the pending row.
    virtual bool Modified() const = 0;
    // Whether rows can be changed at all; finding out may read the rest of the result.
    virtual bool CanModify() = 0;
    // Whether the current row's value in `column` can be changed.
    virtual bool CanModifyCurrent(int column) = 0;
    // The current row's value in `column` as the user reads and types it.
    virtual std::u16string CurrentText(int column) const = 0;
    // The value that typed text gives the current row in `column`; starts editing the row.
    virtual void SetCurrentText(int column, std::u16string_view text) = 0;
    // Starts editing the current row.
    virtual void Edit() = 0;
    // A new empty row before the current one, or after the last one.
    virtual void Insert() = 0;
    virtual void Append() = 0;
    // Drops the pending row's values; a new row goes again.
    virtual void Cancel() = 0;
    // Deletes the current row from the database and from the rows.
    virtual void Delete() = 0;
};

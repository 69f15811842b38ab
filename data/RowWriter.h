#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "data/drivers/Driver.h"

// How the rows of a result are written back: to the one table all of its table columns come
// from, each row found by a key the result carries.
struct WritePlan {
    bool updatable = false;
    std::u16string table; // quoted, with its schema when it has one
    // The result columns whose values identify a row: the primary key, else a unique key,
    // else the row identity the driver added.
    std::vector<std::size_t> key;
    // Set when the key is only that row identity, which the database may hand to a new row
    // once the old one is deleted: rows are then also matched by the original value of every
    // column the result reads from the table.
    bool matchEveryColumn = false;
    // Per result column, its table column quoted, for matching and reading rows back; empty
    // for a computed column.
    std::vector<std::u16string> names;
    // Per result column, its table column quoted; empty when the column cannot be written,
    // which includes every copy but the first of a column the result shows twice.
    std::vector<std::u16string> targets;
};

// Whether values of the kind can be typed in and written back; long 8-bit text and bytes
// cannot.
bool IsWritableKind(TFieldType type);

// Whether every column that comes from a table comes from the same one, and one does.
bool ComesFromOneTable(const std::vector<ColumnInfo>& columns);

// Asks the connection for the table's keys only when every column that comes from a table
// comes from the same one. A result without such a key cannot be changed: rows are never
// matched by all their values, which may find several rows or the wrong one.
WritePlan PlanWrites(const std::vector<ColumnInfo>& columns, DriverConnection& driver);

// The writes. Each runs in a transaction of its own that commits only when exactly one row was
// affected, and otherwise rolls back and raises the reason. Rows are given one value per
// result column; `original` is the row as it was read. A row is matched only by values bound
// exactly as they were read: one whose matching value the driver could only show
// (CellValue::displayOnly) is refused. After an UPDATE or INSERT the row is read back within
// the same transaction, so that `stored` receives it as the database keeps it (rounded,
// padded, changed by a trigger), one value per result column, after the commit; columns the
// table does not give keep the value that was written.

// Sets the changed columns, matching the row by its key and by the changed columns' original
// values, so that a change someone else made in between is not overwritten.
void UpdateRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& original,
               const std::vector<CellValue>& values, const std::vector<bool>& changed,
               const std::function<void(const std::vector<CellValue>&)>& stored);

// Inserts the changed columns' values. Where the database cannot hand back the new row's key,
// `stored` is not called.
void InsertRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& values,
               const std::vector<bool>& changed,
               const std::function<void(const std::vector<CellValue>&)>& stored);

void DeleteRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& original);

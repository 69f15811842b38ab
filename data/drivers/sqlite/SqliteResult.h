#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/drivers/Driver.h"
#include "data/drivers/sqlite/SqliteCancel.h"
#include "data/drivers/sqlite/SqliteStatement.h"

// The rows of one statement, read as they are asked for.
class SqliteResult : public DriverResult {
public:
    // Takes the statement and makes its first step, which may compile it again for a schema
    // that changed since it was prepared: the columns are read after it, so that their names,
    // kinds and values agree. `lastIsRowId`: the statement's last column is the rowid the
    // driver added. `rest`: the statements that followed it in the text, which `runRest` runs
    // once its rows are read to the end. Its reads are calls of the connection that `cancel`
    // cancels.
    SqliteResult(sqlite3* db, std::shared_ptr<SqliteCancel> cancel, SqliteStatement statement,
                 bool lastIsRowId, std::u16string rest,
                 std::function<void(std::u16string_view)> runRest);

    const std::vector<ColumnInfo>& Columns() const override { return columns_; }
    bool MoreStatementsFollow() const override { return !rest_.empty(); }
    bool Fetch(std::vector<CellValue>& row) override;
    std::size_t FetchInto(RowCache& cache, std::size_t count) override;
    // Whether the engine compiled the statement again since it was prepared.
    bool Recompiled() const;

private:
    // Moves to the next row; false once there is none.
    bool Step();
    CellValue Value(int i);
    CellValue DateValue(int i);

    sqlite3* db_;
    std::shared_ptr<SqliteCancel> cancel_;
    SqliteStatement statement_;
    std::vector<ColumnInfo> columns_;
    std::vector<bool> dateKinds_; // by column: text in it may be a date
    std::u16string rest_;
    std::function<void(std::u16string_view)> runRest_;
    std::u16string ownSpelling_; // how a date read would be written, kept from value to value
    int pending_ = -1;
    bool done_ = false;
};

#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

#include "data/drivers/Driver.h"

// The engine's UTF-16 text as ours; empty for none.
std::u16string SqliteText(const void* text);

// Raises the connection's last error as Exception, with the engine's message.
[[noreturn]] void RaiseSqliteError(sqlite3* db);

// One compiled statement, finalised with its owner.
class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    ~SqliteStatement();

    sqlite3_stmt* Get() const { return stmt_; }
    // False when the text held no statement (only blanks and comments).
    explicit operator bool() const { return stmt_ != nullptr; }

private:
    friend SqliteStatement PrepareSqlite(sqlite3*, std::u16string_view, std::u16string_view*);
    sqlite3_stmt* stmt_ = nullptr;
};

// Compiles the first statement of `text`, the one way every statement is prepared. The result
// holds nothing when that part of the text has only blanks and comments; `rest`, when given,
// receives the text after the statement. Raises the engine's error.
SqliteStatement PrepareSqlite(sqlite3* db, std::u16string_view text,
                              std::u16string_view* rest = nullptr);

// Compiles a text of exactly one statement, besides comments, and binds its markers to
// `values`, one each.
SqliteStatement PrepareBound(sqlite3* db, std::u16string_view text,
                             const std::vector<BoundValue>& values);

// Steps the statement through all its rows; raises the engine's error.
void RunToEnd(sqlite3* db, const SqliteStatement& statement);

// Runs a statement of one text with `values` bound and hands each row to `each`.
template <typename Each>
void ForEachRow(sqlite3* db, std::u16string_view sql, const std::vector<BoundValue>& values,
                Each each) {
    SqliteStatement statement = PrepareBound(db, sql, values);
    int rc;
    while ((rc = sqlite3_step(statement.Get())) == SQLITE_ROW)
        each(statement.Get());
    if (rc != SQLITE_DONE)
        RaiseSqliteError(db);
}

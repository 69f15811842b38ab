#include "data/drivers/sqlite/SqliteStatement.h"

#include <climits>
#include <utility>

#include "base/Exception.h"
#include "data/SqlLexer.h"
#include "data/drivers/sqlite/SqliteBinding.h"

std::u16string SqliteText(const void* text) {
    return text ? std::u16string(static_cast<const char16_t*>(text)) : std::u16string();
}

void RaiseSqliteError(sqlite3* db) {
    throw Exception(SqliteText(sqlite3_errmsg16(db)));
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    std::swap(stmt_, other.stmt_);
    return *this;
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

SqliteStatement PrepareSqlite(sqlite3* db, std::u16string_view text, std::u16string_view* rest) {
    if (text.size() > std::size_t(INT_MAX / 2))
        throw Exception(u"The statement is too long");
    SqliteStatement statement;
    const void* tail = nullptr;
    if (sqlite3_prepare16_v3(db, text.data(), int(text.size() * sizeof(char16_t)), 0,
                             &statement.stmt_, &tail) != SQLITE_OK)
        RaiseSqliteError(db);
    if (rest)
        *rest = text.substr(std::size_t(static_cast<const char16_t*>(tail) - text.data()));
    return statement;
}

SqliteStatement PrepareBound(sqlite3* db, std::u16string_view text,
                             const std::vector<BoundValue>& values) {
    std::u16string_view rest;
    SqliteStatement statement = PrepareSqlite(db, text, &rest);
    if (!statement)
        throw Exception(u"The statement is empty");
    if (!OnlyCommentsLeft(rest))
        throw Exception(u"Only one statement can be run with values");
    BindSqlite(db, statement.Get(), values);
    return statement;
}

void RunToEnd(sqlite3* db, const SqliteStatement& statement) {
    int rc;
    while ((rc = sqlite3_step(statement.Get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        RaiseSqliteError(db);
}

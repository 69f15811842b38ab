#pragma once

#include <sqlite3.h>

#include <string_view>

#include "data/drivers/sqlite/SqliteStatement.h"

// The SELECT `text`, compiled as `original`, with its table's rowid as a further, last column,
// compiled; empty when its rows are not each one row of one table, when it already selects
// the table's primary key, or when the table has no rowid of its own. The rowid is what finds
// a row again in a table without a key. Raises Exception when the engine refuses a statement
// it needed to decide (then it is as good as empty).
SqliteStatement WithRowId(sqlite3* db, sqlite3_stmt* original, std::u16string_view text);

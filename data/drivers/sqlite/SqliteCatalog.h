#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

#include "data/drivers/SqlDialect.h"

// How the engine's statements quote and compare names: it never tells apart two names that
// differ only in case.
SqlDialect SqliteDialect();

// The keys that identify the table's rows (DriverConnection::UniqueKeys), from the engine's
// own catalog: its primary key, then each unique index over columns only, not partial, of a
// table in the database `schema` ("main" when empty).
std::vector<std::vector<std::u16string>> SqliteUniqueKeys(sqlite3* db, std::u16string_view schema,
                                                          std::u16string_view table);

// The names of the table's primary-key columns in key order; empty when its key is only the
// rowid.
std::vector<std::u16string> SqlitePrimaryKey(sqlite3* db, std::u16string_view database,
                                             std::u16string_view table);

// Whether the table has a column of its own named rowid (in any case), which hides the
// engine's.
bool HasColumnNamedRowId(sqlite3* db, std::u16string_view database, std::u16string_view table);

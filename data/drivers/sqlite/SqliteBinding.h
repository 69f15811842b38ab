#pragma once

#include <sqlite3.h>

#include <vector>

#include "data/drivers/Driver.h"

// Binds each of the statement's markers to the value at its position: integers, reals, text
// and bytes as their own storage class, decimals as their digits, a date-time as the spelling
// it was read in or else as ISO text of the parts its column's kind takes. Raises Exception
// when the counts differ.
void BindSqlite(sqlite3* db, sqlite3_stmt* stmt, const std::vector<BoundValue>& values);

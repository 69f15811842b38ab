#pragma once

#include "base/DateTime.h"
#include "data/IsoDateTime.h"
#include "data/drivers/Driver.h"

// The column's kind, and its size or precision and scale where the type gives them, read from
// its declared type (null for an expression, which has no kind). SQLite keeps whatever a
// column is given and its declared type is only a wish, so the kind is read from that wish by
// the engine's own affinity words; each value still brings its own storage class.
void ClassifySqliteType(const char* declaredType, ColumnInfo& column);

bool IsDateKind(TFieldType type);

// How the engine's date functions take a value, by the column's kind; a column of no date
// kind gets what the value holds.
IsoParts SqliteDateTimeParts(TFieldType type, const TDateTime& value);

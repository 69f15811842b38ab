#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Just enough reading of a statement's text to tell whether each row of its result is one row
// of one table, and where a further column can go.

// A SELECT of one table's rows, one row of the table for each of the result: no DISTINCT,
// grouping, compound or join, as far as the text shows. Aggregates need the engine's eye.
struct SingleTableSelect {
    std::size_t fromAt = 0; // where the FROM keyword starts
    std::u16string schema, table, alias;
};

// Reads `text` as such a SELECT: no DISTINCT, grouping, compound or join, as far as the text
// shows (aggregates need the engine's eye). False for anything else.
bool ScanSingleTableSelect(std::u16string_view text, SingleTableSelect& select);

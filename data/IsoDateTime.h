#pragma once

#include <string>
#include <string_view>

#include "base/DateTime.h"

// Reads a date or time as databases write them in text: "YYYY-MM-DD", the same followed by a
// blank or "T" and a time, or a time alone, "H:MM[:SS[.fraction]]" (then the year is 0).
// Blanks at the end are allowed. Anything else returns false.
bool ParseIsoDateTime(std::u16string_view text, TDateTime& result);

// The other way: "yyyy-mm-dd", "hh:mm:ss" with ".zzz" when there are milliseconds, or both with
// a blank between; a time of day (year 0) has no date to write, so it gives its time alone.
enum class IsoParts { Date, Time, DateAndTime };
std::u16string IsoDateTimeText(const TDateTime& value, IsoParts parts);
// The same appended to `out`, which allocates nothing once `out` has room.
void AppendIsoDateTimeText(std::u16string& out, const TDateTime& value, IsoParts parts);

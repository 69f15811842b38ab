#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/DateTime.h"

// A date, a time or both as a database writes them, with what TDateTime has no room for: a
// fraction to the nanosecond, a time-zone offset, years before Christ or beyond 9999.
struct DateTimeFields {
    bool hasDate = false;
    bool hasTime = false;
    long long year = 0; // as written: 44 for "0044-03-15 BC"
    bool beforeChrist = false;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::uint32_t nanosecond = 0;
    int fractionDigits = 0; // as written; 0 without a fraction
    bool hasOffset = false;
    int offsetSeconds = 0; // east of UTC
};

// Reads "YYYY-MM-DD" (four digits or more for the year), the same followed by a blank or "T"
// and a time, or a time alone, "H:MM[:SS[.fraction]]"; either with a time-zone offset after
// the time ("Z", "+05", "-04:00", "+0530", "-04:56:02", a blank allowed before the sign), and
// the date with " BC" at the very end. Blanks at the end are allowed. Anything else returns
// false.
bool ParseDateTimeFields(std::u16string_view text, DateTimeFields& fields);

// The same value as that text, appended: the fraction with its digits as written (else as
// few as it needs), the offset as "+HH" or "+HH:MM[:SS]".
void AppendDateTimeText(std::u16string& text, const DateTimeFields& fields);

// The value to the millisecond, when TDateTime can hold it: years 1 to 9999 of our era,
// hours below 24. The offset is not applied.
bool FieldsToDateTime(const DateTimeFields& fields, TDateTime& value);

// Whether the millisecond reading loses something: a finer fraction or an offset.
inline bool NeedsStoredText(const DateTimeFields& fields) {
    return fields.nanosecond % 1000000 != 0 || fields.hasOffset;
}

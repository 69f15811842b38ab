#pragma once

#include <string>
#include <string_view>

#include "data/CellValue.h"
#include "data/FieldType.h"
#include "platform/Platform.h"

// What a value's text depends on besides the value: the user's formats, and the platform that
// renders dates and times by them and converts 8-bit text. The formats are the platform's own,
// taken once, so that showing a number or a text asks nothing of the platform.
struct ValueFormats {
    explicit ValueFormats(const Platform& platform)
        : settings(platform.Formats()), platform(platform) {}
    const TFormatSettings& settings;
    const Platform& platform;
};

// A value as the user reads it, by its field's type: NULL is empty; integers in decimal;
// floating point in general form with at most 15 significant digits; exact decimals their
// digits without trailing zeros after the separator; booleans "True" or "False"; dates in
// the short date pattern, times in the long time pattern, date-times both with a blank between
// unless the time is midnight; text as it is; long bytes as 8-bit text in the default code
// page; other bytes paired into UTF-16 units. Numbers and dates follow `formats`. A value of
// another kind than its field's (SQLite lets any column hold any kind) shows by its own kind.
std::u16string FieldValueText(TFieldType type, const CellValue& value, const ValueFormats& formats);

// FieldValueText(type, value, formats) appended to `out`; for NULL, numbers, booleans and text
// it allocates nothing beyond what `out` may need to grow.
void AppendFieldValueText(TFieldType type, const CellValue& value, const ValueFormats& formats,
                          std::u16string& out);

// FieldValueText(type, value, formats) without a string of its own: a text value's own text,
// or else the text composed in `scratch`, which is overwritten.
std::u16string_view FieldValueTextView(TFieldType type, const CellValue& value,
                                       const ValueFormats& formats, std::u16string& scratch);

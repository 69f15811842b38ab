#pragma once

#include <string>
#include <string_view>

#include "data/CellValue.h"
#include "data/FieldText.h"
#include "data/FieldType.h"
#include "data/drivers/Driver.h"

// What a user types into a cell editor, read as a value of the cell's field: the reverse of
// FieldValueText, by the same formats.

// Whether the cell editor of a field of this kind takes the character; the editor drops the
// others with a beep. Integers take digits, "+" and "-"; floating point and exact decimals
// also "E", "e" and the decimal separator of `formats`; every other kind takes every character.
// Control characters (backspace, the clipboard keys) pass for every kind.
bool FieldAcceptsChar(TFieldType type, char16_t c, const TFormatSettings& formats);

// The most characters the editor takes: the declared size of character text (String,
// WideString) when it has one; 0, no limit, otherwise.
int FieldInputLimit(TFieldType type, int size);

// The value that typed text gives the column; `storage` receives the text that the value's
// text points into, unless the value is `original`'s own. `original` is what the cell held
// before the edit: text that is exactly what the cell shows for it (a non-NULL value) keeps
// it whole, even where the shown text lost part of it (seconds, milliseconds, digits past the
// fifteenth). Empty text (or blanks alone) is NULL for numbers, booleans, dates, times and
// GUIDs, and empty text for the others. Integers take the kind's range, or the whole 64-bit
// range where the column holds it; numbers take the user's decimal separator and an exponent;
// booleans any leading part of "True" or "False"; dates the short date pattern's own form, or
// its order of day, month and year with any separators, or "yyyy-mm-dd"; times the long time
// pattern's own form, or "h[:mm[:ss[.zzz]]]" in 24 hours or with "AM"/"PM"; date-times a date,
// then optionally a time, or a time of day alone. A column of no fixed kind keeps an integer or
// real original's kind for text that reads as one, and takes text otherwise. Character text,
// GUIDs, memos and bytes (which the grid does not edit) keep the text as it is. Text the kind
// cannot take, or holding a NUL or an unpaired surrogate, raises Exception.
CellValue ParseFieldText(const ColumnInfo& column, std::u16string_view fieldName,
                         std::u16string_view text, const CellValue& original,
                         const ValueFormats& formats, std::u16string& storage);

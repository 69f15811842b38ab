#pragma once

#include <string>
#include <string_view>

#include "data/CellValue.h"
#include "data/FieldType.h"

// What a user types into a cell editor, read as a value of the cell's field: the reverse of
// FieldValueText, by the same FormatSettings.

// Whether the cell editor of a field of this kind takes the character; the editor drops the
// others with a beep. Integers take digits, "+" and "-"; floating point and exact decimals
// also "E", "e" and the user's decimal separator; every other kind takes every character.
// Control characters (backspace, the clipboard keys) pass for every kind.
bool FieldAcceptsChar(TFieldType type, char16_t c);

// The most characters the editor takes: the declared size of character text (String,
// WideString) when it has one; 0, no limit, otherwise.
int FieldInputLimit(TFieldType type, int size);

// The value that typed text gives a field of this kind; `storage` receives the text that the
// value's text points into. Empty text (or blanks alone) is NULL for numbers, booleans, dates,
// times and GUIDs, and empty text for the others. Numbers take the user's decimal separator
// and an exponent; booleans any leading part of "True" or "False"; dates the short date
// pattern's order of day, month and year with any separators, or "yyyy-mm-dd"; times
// "h[:mm[:ss[.zzz]]]" in 24 hours or with "AM"/"PM"; date-times a date, then optionally a time.
// Character text, GUIDs, variants, memos and bytes (which the grid does not edit) keep the text
// as it is. Text the kind cannot take raises Exception.
CellValue ParseFieldText(TFieldType type, std::u16string_view fieldName, std::u16string_view text,
                         std::u16string& storage);

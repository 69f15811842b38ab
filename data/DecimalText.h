#pragma once

#include <string>
#include <string_view>

// Writes a number that a driver gives as text ("12.5000", "-.5", "1,25", "+7", "1E+3") into
// `out` in the form of an exact decimal value: an optional "-", the whole digits without
// leading zeros (at least "0"), and "." before the fraction digits as given. Returns false
// when `text` is not a number.
bool NormalizeDecimalText(std::u16string_view text, std::u16string& out);

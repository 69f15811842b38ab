#pragma once

#include <string>

// The user's regional formats for numbers, dates and times. The thread locale does not
// affect them.
struct TFormatSettings {
    std::u16string ShortDateFormat; // "M/d/yyyy"
    std::u16string LongTimeFormat;  // "h:mm:ss tt"
    char16_t DecimalSeparator = u'.';
};

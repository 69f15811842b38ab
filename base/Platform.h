#pragma once

#include <string>
#include <string_view>

#include "base/DateTime.h"

// Services the portable code asks of the platform. The product's are Windows' own; the host
// build has simple stand-ins so that the portable code can be tested there.

// A date or time rendered with a regional pattern ("M/d/yyyy", "h:mm:ss tt") in the user's
// own locale, whatever the thread locale. Text in apostrophes is literal.
std::u16string FormatDate(const TDateTime& date, const std::u16string& pattern);
std::u16string FormatTime(const TDateTime& time, const std::u16string& pattern);

// 8-bit text in the default code page (DefaultSystemCodePage) as UTF-16.
std::u16string EightBitToText(std::string_view bytes);

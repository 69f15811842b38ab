#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/DateTime.h"

// The number's decimal text, with a "0" in front when that text is one character long.
std::u16string TwoDigits(std::int32_t Number);

// The day without a leading zero, the month in two digits, the four-digit year: "9122021"
// for the ninth of December 2021.
std::u16string DateStamp(const TDateTime& Date);

// The day's log file, relative to the current directory.
std::u16string LogFileName(const TDateTime& Date);

// One entry: the date-time text, ": ", the message unchanged, CR LF. The date-time text is
// the short date, a blank and the long time, or the date alone at exactly midnight.
std::u16string LogLine(const TDateTime& now, std::u16string_view shortDate,
                       std::u16string_view longTime, std::u16string_view message);

// The text with every password it names replaced by "***", for a connection string typed as
// a server name: the value of each key that spells a password (PWD, Password, and longer names
// holding "pwd" or "passw", in any case), up to where the reader that takes the most of it
// would end it. A key counts at the start and after every ";", also inside braces. Text
// without "=" comes back unchanged.
std::u16string PasswordsMasked(std::u16string_view text);

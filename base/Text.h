#pragma once

#include <string>
#include <string_view>

// Conversions for text that leaves or enters the program as UTF-8 (test output, file names
// on the host). Everything inside the program is UTF-16.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
// Decodes UTF-8 into `out` as SQLite's own conversion does (a malformed sequence becomes
// U+FFFD), so that text read as UTF-8 shows as the engine's UTF-16 would. Writes at most
// text.size() units and returns how many it wrote.
std::size_t Utf8ToUtf16(std::string_view text, char16_t* out);

// Plain decimal text, with a leading "-" when negative and no grouping.
std::u16string IntToStr(long long value);

// Lower case of one UTF-16 unit, for the alphabets that have case in the Basic Multilingual
// Plane's first blocks (Latin, Greek, Cyrillic); other units come back unchanged.
char16_t ToLowerChar(char16_t c);

// A blank as connection strings and statements see it: space, tab, CR or LF.
bool IsBlank(char16_t c);
// The text without blanks at either end.
std::u16string_view Trimmed(std::u16string_view text);
// Comparisons without regard to case (by ToLowerChar).
bool SameText(std::u16string_view a, std::u16string_view b);
bool StartsWithText(std::u16string_view text, std::u16string_view prefix);

// The text between `open` and `close`, each `close` inside doubled: how SQL quotes a name and
// connection strings quote a value.
std::u16string Enclosed(std::u16string_view text, char16_t open, char16_t close);

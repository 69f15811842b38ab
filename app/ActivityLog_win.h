#pragma once

#include <string_view>

// Appends one entry to the day's log file in the current directory: the clock's first reading
// chooses the file, a second one stamps the entry. The entry is 8-bit text in the process's
// default code page. Every failure is swallowed and the line is lost; nothing stays open.
void AppendLogEntry(std::u16string_view message) noexcept;

#pragma once

#include <string_view>

#include "platform/Platform.h"

// Appends one entry to the day's log file in the current directory: the platform's clock
// chooses the file by its first reading and stamps the entry by a second one, in the user's
// formats. The entry is 8-bit text in the platform's default code page. Every failure is
// swallowed and the line is lost; nothing stays open.
void AppendLogEntry(const Platform& platform, std::u16string_view message) noexcept;

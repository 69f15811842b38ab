#pragma once

#include <string_view>

// The activity log is on when the first argument is exactly "Log" (case-sensitive, nothing
// before or after it); later arguments are ignored.
bool LogRequested(std::u16string_view commandLine);

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The argument at `index` of a raw process command line (0 is the program itself), or empty
// text when there are fewer. Arguments are separated by blanks and control characters;
// characters between double quotes belong to one argument, and the quotes are dropped.
// Backslashes have no special meaning, unlike the C runtime's splitting.
std::u16string CommandLineArgument(std::u16string_view commandLine, std::size_t index);

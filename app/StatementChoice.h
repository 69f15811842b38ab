#pragma once

#include <string_view>

// Ctrl+E opens the statement when its first displayed row, with a..z upper-cased, contains
// "SELECT" anywhere (also inside a longer word), and executes it otherwise.
bool FirstRowAsksForRows(std::u16string_view firstRow);

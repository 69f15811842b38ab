#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the fuzz targets share: the input read as text, and the end of the run when a property
// fails.

// The input bytes as UTF-8, leniently: any byte sequence gives some UTF-16 text, lone
// surrogates included, while seeds stay readable files.
std::u16string FuzzText(const std::uint8_t* data, std::size_t size);

// The parts of `text` between the separators; at least one, possibly empty.
std::vector<std::u16string> SplitText(std::u16string_view text, char16_t separator);

// Reports the property and the text it failed on, then aborts, so that libFuzzer keeps the
// input.
[[noreturn]] void PropertyFailed(const char* property, std::u16string_view text);

inline void Require(bool holds, const char* property, std::u16string_view text) {
    if (!holds)
        PropertyFailed(property, text);
}

#include "tests/fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

#include "base/Text.h"

std::u16string FuzzText(const std::uint8_t* data, std::size_t size) {
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
}

std::vector<std::u16string> SplitText(std::u16string_view text, char16_t separator) {
    std::vector<std::u16string> parts;
    for (;;) {
        std::size_t end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::u16string_view::npos)
            return parts;
        text.remove_prefix(end + 1);
    }
}

void PropertyFailed(const char* property, std::u16string_view text) {
    std::fprintf(stderr, "Property failed: %s\nOn: %s\n", property, ToUtf8(text).c_str());
    std::abort();
}

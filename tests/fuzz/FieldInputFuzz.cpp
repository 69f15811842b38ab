#include <functional>

#include "base/Exception.h"
#include "base/Runtime.h"
#include "data/FieldInput.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool Within(std::u16string_view part, std::u16string_view whole) {
    std::less_equal<const char16_t*> atMost;
    return atMost(whole.data(), part.data()) &&
           atMost(part.data() + part.size(), whole.data() + whole.size());
}

} // namespace

// The input's first line: the user's short date pattern, long time pattern and decimal
// separator, separated by tabs; the rest: the text typed into a cell, read for every kind.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string input = FuzzText(data, size);
    std::size_t newline = std::min(input.find(u'\n'), input.size());
    auto formats = SplitText(std::u16string_view(input).substr(0, newline), u'\t');
    formats.resize(std::max<std::size_t>(formats.size(), 3));
    FormatSettings.ShortDateFormat = formats[0];
    FormatSettings.LongTimeFormat = formats[1];
    FormatSettings.DecimalSeparator = formats[2].empty() ? u'.' : formats[2][0];
    std::u16string_view typed =
        std::u16string_view(input).substr(std::min(newline + 1, input.size()));

    for (int kind = int(TFieldType::Unknown); kind <= int(TFieldType::Variant); ++kind) {
        std::u16string storage;
        try {
            CellValue value = ParseFieldText(TFieldType(kind), u"f", typed, storage);
            Require(value.text.empty() || Within(value.text, storage) || Within(value.text, typed),
                    "a value's text lies in the storage or the typed text", input);
        } catch (const Exception&) {
        }
    }
    return 0;
}

#include <functional>

#include "base/Exception.h"
#include "data/FieldInput.h"
#include "data/drivers/Driver.h"
#include "platform/FakePlatform.h"
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
    FakePlatform platform;
    platform.formats = {formats[0], formats[1], formats[2].empty() ? u'.' : formats[2][0]};
    const ValueFormats valueFormats(platform);
    std::u16string_view typed =
        std::u16string_view(input).substr(std::min(newline + 1, input.size()));

    // Read over no value, and over values of each storage class a cell may hold.
    const CellValue originals[] = {CellValue::Null(), CellValue::OfInteger(42),
                                   CellValue::OfReal(0.5), CellValue::OfText(u"text")};
    for (int kind = int(TFieldType::Unknown); kind <= int(TFieldType::Variant); ++kind) {
        for (const CellValue& original : originals) {
            ColumnInfo column;
            column.type = TFieldType(kind);
            column.holds64BitIntegers = original.tag == CellValue::Tag::Integer;
            std::u16string storage;
            try {
                CellValue value =
                    ParseFieldText(column, u"f", typed, original, valueFormats, storage);
                Require(value.text.empty() || Within(value.text, storage) ||
                            Within(value.text, typed) || Within(value.text, original.text),
                        "a value's text lies in the storage, the typed text or the original",
                        input);
            } catch (const Exception&) {
            }
        }
    }
    return 0;
}

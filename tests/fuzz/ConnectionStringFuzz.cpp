#include "app/ConnectionStrings.h"
#include "base/Text.h"
#include "data/ConnectionString.h"
#include "tests/fuzz/FuzzSupport.h"

// Whatever the parser reads, written out again with the builder's quoting, reads back the
// same: keys and values in order.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = FuzzText(data, size);
    auto entries = ConnectionString::Parse(text).Entries();
    std::u16string written;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& [key, value] = entries[i];
        Require(!key.empty() && key == Trimmed(key), "keys are trimmed and not empty", text);
        for (std::size_t j = 0; j < i; ++j)
            Require(!SameText(entries[j].first, key), "a key comes once", text);
        for (char16_t c : key)
            written += c == u'=' ? u"==" : std::u16string(1, c);
        written += u"=" + ConnectionStringValue(value) + u";";
    }
    Require(ConnectionString::Parse(written).Entries() == entries,
            "written entries read back exactly", text);
    return 0;
}

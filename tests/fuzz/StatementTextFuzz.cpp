#include <algorithm>

#include "data/StatementText.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = FuzzText(data, size);
    StatementText scanned = ScanParameters(text);
    // A name may hold a "?" of its own, which goes with it.
    auto marks = [](std::u16string_view s) {
        return std::size_t(std::count(s.begin(), s.end(), u'?'));
    };
    std::size_t names = scanned.parameterNames.size();
    Require(marks(scanned.text) >= names && marks(scanned.text) - names <= marks(text),
            "each parameter leaves one \"?\"", text);
    Require(names > 0 || scanned.text == text, "text without parameters goes over unchanged", text);
    Require(scanned.text.size() <= text.size(), "a \"?\" is shorter than the name it replaces",
            text);
    return 0;
}

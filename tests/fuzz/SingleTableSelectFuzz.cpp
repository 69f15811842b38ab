#include "base/Text.h"
#include "data/SingleTableSelect.h"
#include "data/SqlLexer.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = FuzzText(data, size);
    bool onlyComments = OnlyCommentsLeft(text);
    SingleTableSelect select;
    if (ScanSingleTableSelect(text, select)) {
        Require(!onlyComments, "a SELECT is more than comments", text);
        Require(select.fromAt + 4 <= text.size() &&
                    SameText(std::u16string_view(text).substr(select.fromAt, 4), u"FROM"),
                "fromAt points at FROM", text);
    }
    return 0;
}

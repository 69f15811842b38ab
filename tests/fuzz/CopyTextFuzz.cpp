#include <vector>

#include "app/CopyText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

class TextRows : public CopyRows {
public:
    explicit TextRows(std::vector<std::vector<std::u16string>> rows) : rows_(std::move(rows)) {}
    void SuspendDisplay() override {}
    void ResumeDisplay() override {}
    void First() override { current_ = 0; }
    bool Eof() override { return current_ == rows_.size(); }
    void Next() override { ++current_; }
    int FieldCount() override { return int(rows_[current_].size()); }
    std::u16string_view FieldText(int index, std::u16string&) override {
        return rows_[current_][index];
    }

private:
    std::vector<std::vector<std::u16string>> rows_;
    std::size_t current_ = 0;
};

} // namespace

// The input's first character sets the limit; then rows, one a line, their fields separated
// by tabs. The text cut at the limit is the start of the whole text, at most the limit long,
// one shorter only where the limit would split a surrogate pair, and said to be cut exactly
// when the whole text reaches the limit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string input = FuzzText(data, size);
    if (input.empty())
        return 0;
    std::size_t limit = 1 + input[0] % 64;
    std::vector<std::vector<std::u16string>> rows;
    for (const auto& line : SplitText(std::u16string_view(input).substr(1), u'\n'))
        rows.push_back(SplitText(line, u'\t'));

    // Each unit of the input gives at most one of the text, and each row adds CR LF.
    TextRows whole(rows);
    CopyText all(2 * input.size() + 2);
    Require(!all.Build(whole), "the whole text fits a limit above its length", input);
    std::u16string_view full = all.Text();

    TextRows source(rows);
    CopyText text(limit);
    bool cut = text.Build(source);
    std::u16string_view copied = text.Text();
    Require(cut == (full.size() >= limit),
            "the cut is reported exactly when the text reaches the limit", input);
    Require(copied.size() <= limit, "the text never passes the limit", input);
    Require(full.starts_with(copied), "the text is the start of the whole text", input);
    std::size_t expected = std::min(full.size(), limit);
    if (expected < full.size() && IsHighSurrogate(full[expected - 1]) &&
        IsLowSurrogate(full[expected]))
        --expected;
    Require(copied.size() == expected, "the text is cut only at the limit, never inside a pair",
            input);
    return 0;
}

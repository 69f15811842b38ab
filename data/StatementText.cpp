#include "data/StatementText.h"

namespace {

bool IsQuote(char16_t c) {
    return c == u'\'' || c == u'"' || c == u'`';
}

bool EndsName(char16_t c) {
    return c == u' ' || c == u',' || c == u';' || c == u')' || c == u'\r' || c == u'\n';
}

} // namespace

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const auto& line : lines)
        text.append(line).append(u"\r\n");
    return text;
}

StatementText ScanParameters(std::u16string_view text) {
    StatementText result;
    char16_t openQuote = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        char16_t c = text[pos];
        if (openQuote) {
            if (c == openQuote)
                openQuote = 0;
            result.text += c;
            ++pos;
        } else if (IsQuote(c)) {
            openQuote = c;
            result.text += c;
            ++pos;
        } else if (c == u':' && pos + 1 < text.size() && text[pos + 1] == u':') {
            result.text += u"::";
            pos += 2;
        } else if (c == u':') {
            std::u16string name;
            ++pos;
            if (pos < text.size() && IsQuote(text[pos])) {
                char16_t quote = text[pos++];
                while (pos < text.size() && text[pos] != quote)
                    name += text[pos++];
                if (pos < text.size())
                    ++pos; // the closing quote
            } else {
                while (pos < text.size() && !EndsName(text[pos]))
                    name += text[pos++];
            }
            result.text += u'?';
            result.parameterNames.push_back(std::move(name));
        } else {
            result.text += c;
            ++pos;
        }
    }
    return result;
}

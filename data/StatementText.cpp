#include "data/StatementText.h"

#include "data/SqlLexer.h"

namespace {

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
    // Quotes are apostrophes, double quotes and backquotes alone, and comments are text like
    // any other: a ":name" in one is a parameter too.
    SqlLexer lexer(text, {.brackets = false, .comments = false});
    for (SqlToken token = lexer.Next(); token.kind != SqlToken::Kind::End; token = lexer.Next()) {
        if (token.text != u":") {
            result.text += token.text;
            continue;
        }
        std::size_t pos = token.start + 1;
        if (pos < text.size() && text[pos] == u':') {
            result.text += u"::";
            lexer.MoveTo(pos + 1);
            continue;
        }
        std::u16string name;
        if (pos < text.size() && lexer.OpensQuote(text[pos])) {
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
        lexer.MoveTo(pos);
    }
    return result;
}

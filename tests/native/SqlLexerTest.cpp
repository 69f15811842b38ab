#include <gtest/gtest.h>

#include "base/Text.h"
#include "data/SqlLexer.h"

namespace {

// Each token as its kind's letter and its text, "|" between them.
std::string Tokens(std::u16string_view text, SqlLexerRules rules) {
    static const char kinds[] = "EBCWQO";
    std::string out;
    SqlLexer lexer(text, rules);
    for (SqlToken token = lexer.Next(); token.kind != SqlToken::Kind::End; token = lexer.Next()) {
        out += out.empty() ? "" : "|";
        out += kinds[int(token.kind)];
        out += ":" + ToUtf8(token.text);
    }
    return out;
}

// The single-table reader takes brackets and comments; the parameter scan takes neither.
TEST(SqlLexer, QuotesAndCommentsFollowTheRules) {
    const SqlLexerRules all{}, plain{.brackets = false, .comments = false};
    struct Case {
        const char16_t* text;
        SqlLexerRules rules;
        const char* tokens;
    } cases[] = {
        {u"a [b] -- c\nd", all, "W:a|B: |Q:[b]|B: |C:-- c|B:\n|W:d"},
        {u"a [b] -- c\nd", plain, "W:a|B: |O:[|W:b|O:]|B: |O:-|O:-|B: |W:c|B:\n|W:d"},
        {u"'it''s' \"no \"\"end", all, "Q:'it''s'|B: |Q:\"no \"\"end"},
        {u"`a`:x::y", plain, "Q:`a`|O::|W:x|O::|O::|W:y"},
        {u"[a]]b]", all, "Q:[a]|O:]|W:b|O:]"},
        {u"x/*/y*/z /* open", all, "W:x|C:/*/y*/|W:z|B: |C:/* open"},
        {u"$1_\u05D0\f\v;", all, "W:$1_\u05D0|B:\f\v|O:;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tokens(c.text, c.rules), c.tokens) << ToUtf8(c.text);

    struct Name {
        const char16_t* text;
        const char* name;
    } names[] = {{u"plain", "plain"}, {u"\"a \"\"b\"\"\"", "a \"b\""}, {u"[x y]", "x y"}};
    for (const auto& n : names) {
        SqlLexer lexer(n.text);
        EXPECT_EQ(ToUtf8(UnquotedName(lexer.Next())), n.name) << ToUtf8(n.text);
    }
}

} // namespace

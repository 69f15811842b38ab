#include "data/SingleTableSelect.h"

#include <algorithm>
#include <vector>

#include "base/Text.h"
#include "data/SqlLexer.h"

namespace {

bool IsKeyword(const SqlToken& token, std::u16string_view keyword) {
    return token.kind == SqlToken::Kind::Word && SameText(token.text, keyword);
}

// A word or a quoted name; a literal in apostrophes names nothing.
bool IsName(const SqlToken& token) {
    return token.kind == SqlToken::Kind::Word ||
           (token.kind == SqlToken::Kind::Quoted && token.text[0] != u'\'');
}

} // namespace

bool ScanSingleTableSelect(std::u16string_view text, SingleTableSelect& select) {
    SqlLexer tokens(text);
    if (!IsKeyword(tokens.NextSignificant(), u"SELECT"))
        return false;
    SqlToken token = tokens.NextSignificant();
    if (IsKeyword(token, u"DISTINCT"))
        return false;
    int depth = 0;
    for (;; token = tokens.NextSignificant()) {
        if (token.text.empty() || (depth == 0 && token.text == u";"))
            return false;
        if (token.text == u"(")
            ++depth;
        else if (token.text == u")")
            --depth;
        else if (depth == 0 && IsKeyword(token, u"FROM"))
            break;
    }
    select.fromAt = token.start;

    static constexpr std::u16string_view kOneRowPerRow[] = {u"GROUP", u"HAVING",    u"WINDOW",
                                                            u"UNION", u"INTERSECT", u"EXCEPT"};
    static constexpr std::u16string_view kAfterFrom[] = {u"WHERE", u"ORDER", u"LIMIT"};
    auto isAny = [](const SqlToken& token, const auto& keywords) {
        return std::any_of(std::begin(keywords), std::end(keywords),
                           [&](std::u16string_view k) { return IsKeyword(token, k); });
    };
    std::vector<SqlToken> item; // what FROM names, up to the next clause
    bool inItem = true;
    for (token = tokens.NextSignificant(); !token.text.empty() && token.text != u";";
         token = tokens.NextSignificant()) {
        if (token.text == u"(")
            ++depth;
        else if (token.text == u")")
            --depth;
        if (depth == 0 && isAny(token, kOneRowPerRow))
            return false;
        if (depth == 0 && isAny(token, kAfterFrom))
            inItem = false;
        if (inItem)
            item.push_back(token);
    }
    if (!OnlyCommentsLeft(text.substr(token.start)))
        return false;

    // [schema .] table [[AS] alias] [INDEXED BY index | NOT INDEXED]
    std::size_t i = 0, n = item.size();
    auto nameAt = [&](std::size_t at) { return at < n && IsName(item[at]); };
    if (!nameAt(0))
        return false;
    select.table = UnquotedName(item[i++]);
    if (i < n && item[i].text == u".") {
        if (!nameAt(i + 1))
            return false;
        select.schema = std::move(select.table);
        select.table = UnquotedName(item[i + 1]);
        i += 2;
    }
    if (i < n && IsKeyword(item[i], u"AS")) {
        if (!nameAt(i + 1))
            return false;
        select.alias = UnquotedName(item[i + 1]);
        i += 2;
    } else if (nameAt(i) && !IsKeyword(item[i], u"INDEXED") && !IsKeyword(item[i], u"NOT")) {
        select.alias = UnquotedName(item[i++]);
    }
    if (i < n && IsKeyword(item[i], u"INDEXED") && i + 2 < n && IsKeyword(item[i + 1], u"BY"))
        i += 3;
    else if (i + 1 < n && IsKeyword(item[i], u"NOT") && IsKeyword(item[i + 1], u"INDEXED"))
        i += 2;
    return i == n;
}

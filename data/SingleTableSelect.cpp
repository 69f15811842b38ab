#include "data/SingleTableSelect.h"

#include <algorithm>
#include <vector>

#include "base/Text.h"

namespace {

// A word, a quoted name, a literal or one other character of a statement's text, outside
// comments.
struct Token {
    std::u16string_view text; // empty at the end of the text
    std::size_t start = 0;
    bool word = false; // unquoted, so possibly a keyword
    bool name = false; // a word or a quoted name
};

bool IsWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'$' || c >= 0x80;
}

class SqlTokens {
public:
    explicit SqlTokens(std::u16string_view text) : text_(text) {}

    Token Next() {
        SkipBlanksAndComments();
        Token token;
        token.start = pos_;
        if (pos_ == text_.size())
            return token;
        char16_t c = text_[pos_];
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            char16_t close = c == u'[' ? u']' : c;
            for (++pos_; pos_ < text_.size(); ++pos_) {
                if (text_[pos_] != close)
                    continue;
                // A doubled quote stands for itself.
                if (close != u']' && pos_ + 1 < text_.size() && text_[pos_ + 1] == close)
                    ++pos_;
                else
                    break;
            }
            pos_ = std::min(pos_ + 1, text_.size());
            token.name = c != u'\'';
        } else if (IsWordChar(c)) {
            while (pos_ < text_.size() && IsWordChar(text_[pos_]))
                ++pos_;
            token.word = token.name = true;
        } else {
            ++pos_;
        }
        token.text = text_.substr(token.start, pos_ - token.start);
        return token;
    }

    // True when only blanks, comments and semicolons are left.
    bool AtEnd() {
        for (;;) {
            SkipBlanksAndComments();
            if (pos_ == text_.size())
                return true;
            if (text_[pos_] != u';')
                return false;
            ++pos_;
        }
    }

private:
    void SkipBlanksAndComments() {
        while (pos_ < text_.size()) {
            std::u16string_view rest = text_.substr(pos_);
            if (IsBlank(rest[0]) || rest[0] == u'\f' || rest[0] == u'\v')
                ++pos_;
            else if (rest.starts_with(u"--"))
                pos_ = std::min(text_.find(u'\n', pos_), text_.size());
            else if (rest.starts_with(u"/*"))
                pos_ = SkippedBlockComment();
            else
                break;
        }
    }

    // A comment left open runs to the end of the text, as the engine reads it.
    std::size_t SkippedBlockComment() const {
        std::size_t close = text_.find(u"*/", pos_ + 2);
        return close == std::u16string_view::npos ? text_.size() : close + 2;
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
};

bool IsKeyword(const Token& token, std::u16string_view keyword) {
    return token.word && SameText(token.text, keyword);
}

std::u16string Unquoted(const Token& token) {
    if (token.word || token.text.size() < 2)
        return std::u16string(token.text);
    char16_t close = token.text.back();
    std::u16string name;
    std::u16string_view inner = token.text.substr(1, token.text.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        name += inner[i];
        if (inner[i] == close && close != u']' && i + 1 < inner.size())
            ++i;
    }
    return name;
}

} // namespace

bool OnlyCommentsLeft(std::u16string_view text) {
    return SqlTokens(text).AtEnd();
}

bool ScanSingleTableSelect(std::u16string_view text, SingleTableSelect& select) {
    SqlTokens tokens(text);
    if (!IsKeyword(tokens.Next(), u"SELECT"))
        return false;
    Token token = tokens.Next();
    if (IsKeyword(token, u"DISTINCT"))
        return false;
    int depth = 0;
    for (;; token = tokens.Next()) {
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
    auto isAny = [](const Token& token, const auto& keywords) {
        return std::any_of(std::begin(keywords), std::end(keywords),
                           [&](std::u16string_view k) { return IsKeyword(token, k); });
    };
    std::vector<Token> item; // what FROM names, up to the next clause
    bool inItem = true;
    for (token = tokens.Next(); !token.text.empty() && token.text != u";"; token = tokens.Next()) {
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
    if (!tokens.AtEnd())
        return false;

    // [schema .] table [[AS] alias] [INDEXED BY index | NOT INDEXED]
    std::size_t i = 0, n = item.size();
    auto nameAt = [&](std::size_t at) { return at < n && item[at].name; };
    if (!nameAt(0))
        return false;
    select.table = Unquoted(item[i++]);
    if (i < n && item[i].text == u".") {
        if (!nameAt(i + 1))
            return false;
        select.schema = std::move(select.table);
        select.table = Unquoted(item[i + 1]);
        i += 2;
    }
    if (i < n && IsKeyword(item[i], u"AS")) {
        if (!nameAt(i + 1))
            return false;
        select.alias = Unquoted(item[i + 1]);
        i += 2;
    } else if (nameAt(i) && !IsKeyword(item[i], u"INDEXED") && !IsKeyword(item[i], u"NOT")) {
        select.alias = Unquoted(item[i++]);
    }
    if (i < n && IsKeyword(item[i], u"INDEXED") && i + 2 < n && IsKeyword(item[i + 1], u"BY"))
        i += 3;
    else if (i + 1 < n && IsKeyword(item[i], u"NOT") && IsKeyword(item[i + 1], u"INDEXED"))
        i += 2;
    return i == n;
}

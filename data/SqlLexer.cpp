#include "data/SqlLexer.h"

#include <algorithm>

#include "base/Text.h"

namespace {

bool IsWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'$' || c >= 0x80;
}

bool IsSqlBlank(char16_t c) {
    return IsBlank(c) || c == u'\f' || c == u'\v';
}

char16_t ClosingQuote(char16_t open) {
    return open == u'[' ? u']' : open;
}

} // namespace

SqlLexer::SqlLexer(std::u16string_view text, SqlLexerRules rules) : text_(text), rules_(rules) {}

bool SqlLexer::OpensQuote(char16_t c) const {
    return c == u'\'' || c == u'"' || c == u'`' || (rules_.brackets && c == u'[');
}

SqlToken SqlLexer::Next() {
    SqlToken token;
    token.start = pos_ = std::min(pos_, text_.size());
    if (pos_ == text_.size())
        return token;
    std::u16string_view rest = text_.substr(pos_);
    char16_t c = rest[0];
    if (IsSqlBlank(c)) {
        token.kind = SqlToken::Kind::Blank;
        while (pos_ < text_.size() && IsSqlBlank(text_[pos_]))
            ++pos_;
    } else if (rules_.comments && rest.starts_with(u"--")) {
        token.kind = SqlToken::Kind::Comment;
        pos_ = std::min(text_.find(u'\n', pos_), text_.size());
    } else if (rules_.comments && rest.starts_with(u"/*")) {
        token.kind = SqlToken::Kind::Comment;
        std::size_t close = text_.find(u"*/", pos_ + 2);
        pos_ = close == std::u16string_view::npos ? text_.size() : close + 2;
    } else if (OpensQuote(c)) {
        token.kind = SqlToken::Kind::Quoted;
        pos_ = QuotedEnd(c);
    } else if (IsWordChar(c)) {
        token.kind = SqlToken::Kind::Word;
        while (pos_ < text_.size() && IsWordChar(text_[pos_]))
            ++pos_;
    } else {
        token.kind = SqlToken::Kind::Other;
        ++pos_;
    }
    token.text = text_.substr(token.start, pos_ - token.start);
    return token;
}

SqlToken SqlLexer::NextSignificant() {
    for (;;) {
        SqlToken token = Next();
        if (token.kind != SqlToken::Kind::Blank && token.kind != SqlToken::Kind::Comment)
            return token;
    }
}

// Just past the quote that closes the one at pos_, or the end of the text.
std::size_t SqlLexer::QuotedEnd(char16_t open) const {
    char16_t close = ClosingQuote(open);
    for (std::size_t pos = pos_ + 1; pos < text_.size(); ++pos) {
        if (text_[pos] != close)
            continue;
        // A doubled quote stands for itself.
        if (close != u']' && pos + 1 < text_.size() && text_[pos + 1] == close)
            ++pos;
        else
            return pos + 1;
    }
    return text_.size();
}

std::u16string UnquotedName(const SqlToken& token) {
    if (token.kind != SqlToken::Kind::Quoted || token.text.size() < 2)
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

bool OnlyCommentsLeft(std::u16string_view text) {
    SqlLexer lexer(text);
    SqlToken token = lexer.NextSignificant();
    while (token.text == u";")
        token = lexer.NextSignificant();
    return token.kind == SqlToken::Kind::End;
}

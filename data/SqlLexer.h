#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The one reading of a statement's text into tokens for everything in the data layer that
// looks into SQL. Readers differ in what they take for a quote or a comment, so those are
// rules of the lexer.
struct SqlLexerRules {
    // "[name]" quotes a name, as SQL Server and SQLite read it ("]" is not doubled inside).
    bool brackets = true;
    // "--" to the end of the line and "/* */" are comments; one left open runs to the end of
    // the text, as the engine reads it.
    bool comments = true;
};

struct SqlToken {
    enum class Kind {
        End,     // the text is read; `text` is empty
        Blank,   // a run of blanks: space, tab, CR, LF, form feed, vertical tab
        Comment, // by the rules
        Word,    // letters, digits, "_", "$" and anything beyond ASCII: a keyword or a name
        Quoted,  // a literal in apostrophes or a quoted name, quotes included; a quote doubled
                 // inside stands for itself; one left open runs to the end of the text
        Other,   // any other single character
    };
    Kind kind = Kind::End;
    std::u16string_view text;
    std::size_t start = 0; // where `text` begins in the whole text
};

class SqlLexer {
public:
    explicit SqlLexer(std::u16string_view text, SqlLexerRules rules = {});

    // The token at the current position, blanks and comments included.
    SqlToken Next();
    // The next token that is neither blank nor comment.
    SqlToken NextSignificant();
    // Whether `c` opens quoted text by these rules.
    bool OpensQuote(char16_t c) const;
    // Goes on from `pos`, for a reader that takes some of the text by rules of its own.
    void MoveTo(std::size_t pos) { pos_ = pos; }

private:
    std::size_t QuotedEnd(char16_t open) const;

    std::u16string_view text_;
    SqlLexerRules rules_;
    std::size_t pos_ = 0;
};

// The name a Word or Quoted token stands for: a quoted name without its quotes, each doubled
// quote read as one.
std::u16string UnquotedName(const SqlToken& token);

// True when the text holds only blanks, comments and semicolons: no further statement.
bool OnlyCommentsLeft(std::u16string_view text);

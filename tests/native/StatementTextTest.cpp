#include <gtest/gtest.h>

#include "base/Text.h"
#include "data/StatementText.h"

namespace {

TEST(StatementText, EveryLineIsFollowedByALineBreak) {
    EXPECT_EQ(ToUtf8(JoinLines({u"select *", u"from t"})), "select *\r\nfrom t\r\n");
    EXPECT_EQ(ToUtf8(JoinLines({})), "");
    EXPECT_EQ(ToUtf8(JoinLines({u""})), "\r\n");
}

TEST(StatementText, ColonNamesOutsideQuotesBecomeParameters) {
    struct Case {
        const char16_t* text;
        const char* sent;
        const char* names; // joined with "|"
    } cases[] = {
        {u"select * from t where id = :id", "select * from t where id = ?", "id"},
        {u"insert into t values (:a,:b);", "insert into t values (?,?);", "a|b"},
        {u"where a = :x\r\nand b = :y\r\n", "where a = ?\r\nand b = ?\r\n", "x|y"},
        {u"select 'a :b' , \":c\", `:d` from t", "select 'a :b' , \":c\", `:d` from t", ""},
        {u"select 'it''s :x' from t where y = :y", "select 'it''s :x' from t where y = ?", "y"},
        {u"select '\"' , :p", "select '\"' , ?", "p"},
        {u"select x::int from t", "select x::int from t", ""},
        {u"where a = :\"my name\" and b", "where a = ? and b", "my name"},
        {u"where a = :'q' ", "where a = ? ", "q"},
        {u"where a = : and b", "where a = ? and b", ""},
        {u"where a = :tail", "where a = ?", "tail"},
        {u"", "", ""},
    };
    for (const auto& c : cases) {
        auto scanned = ScanParameters(c.text);
        std::string names;
        for (const auto& name : scanned.parameterNames) {
            names += names.empty() ? "" : "|";
            names += ToUtf8(name);
        }
        EXPECT_EQ(ToUtf8(scanned.text), c.sent) << ToUtf8(c.text);
        EXPECT_EQ(names, c.names) << ToUtf8(c.text);
    }
}

} // namespace

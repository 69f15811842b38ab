#include <gtest/gtest.h>

#include "base/Text.h"
#include "data/drivers/SqlDialect.h"

namespace {

// Both drivers and the row writer compare key names by this one rule.
TEST(SqlDialect, NamesAndKeysAreComparedAsTheDatabaseComparesNames) {
    const std::vector<std::vector<std::u16string>> keys = {{u"ID"}, {u"a", u"B"}};
    struct Case {
        bool ignoreCase;
        const char16_t *a, *b;
        bool sameName;
        std::vector<std::u16string> key;
        bool hasKey;
    } cases[] = {
        {false, u"ID", u"ID", true, {u"ID"}, true},
        {false, u"ID", u"id", false, {u"id"}, false},
        {true, u"ID", u"id", true, {u"id"}, true},
        {false, u"a", u"a", true, {u"B", u"a"}, true},
        {false, u"a", u"A", false, {u"b", u"A"}, false},
        {true, u"\u00C9t\u00E9", u"\u00E9T\u00C9", true, {u"b", u"A"}, true},
        {true, u"ab", u"abc", false, {u"a"}, false},
        {true, u"", u"", true, {u"a", u"b", u"ID"}, false},
    };
    for (const auto& c : cases) {
        SqlDialect dialect;
        dialect.namesIgnoreCase = c.ignoreCase;
        SCOPED_TRACE(ToUtf8(c.a) + " " + ToUtf8(c.b) + (c.ignoreCase ? " ignoring case" : ""));
        EXPECT_EQ(dialect.SameName(c.a, c.b), c.sameName);
        EXPECT_EQ(dialect.HasKey(keys, c.key), c.hasKey);
    }
}

} // namespace

#include <gtest/gtest.h>

#include <array>

#include "app/ConnectionStrings.h"
#include "base/Text.h"
#include "data/ConnectionString.h"

namespace {

TEST(ConnectionStrings, PlainValuesGiveTheStringsCharacterForCharacter) {
    EXPECT_EQ(ToUtf8(BuildConnectionString(dkOracle, u"srv", u"orcl", u"scott", u"tiger")),
              "Provider=OraOLEDB.Oracle.1;Password=tiger;Persist Security Info=True;"
              "User ID=scott;Data Source=orcl");
    const char* sqlServer =
        "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;password=pw;"
        "Initial Catalog=shop;Data Source=db01;Auto Tranlate=False;"
        "Use Procedure for Prepare=1;Packet Size=4096;Use Encryption for Data=False";
    EXPECT_EQ(ToUtf8(BuildConnectionString(dkSQLServer, u"db01", u"shop", u"sa", u"pw")),
              sqlServer);
    EXPECT_EQ(ToUtf8(BuildConnectionString(-1, u"db01", u"shop", u"sa", u"pw")), sqlServer)
        << "no kind chosen";
    EXPECT_EQ(ToUtf8(BuildConnectionString(dkSQLite, u"srv", u"C:\\data\\a b.db", u"u", u"p")),
              "Provider=SQLite;Data Source=C:\\data\\a b.db");
    EXPECT_EQ(ToUtf8(BuildConnectionString(dkOracle, u"", u"", u"", u"")),
              "Provider=OraOLEDB.Oracle.1;Password=;Persist Security Info=True;User ID=;"
              "Data Source=");
}

// Each typed value, as it is written after "key=", must come back exactly from the parser in
// every place of every kind, and must not add or hide a key.
TEST(ConnectionStrings, EveryTypedValueReadsBackExactly) {
    struct Case {
        const char16_t* typed;
        const char16_t* written;
    } cases[] = {
        {u"plain", u"plain"},
        {u"", u""},
        {u"x;Data Source=other", u"\"x;Data Source=other\""},
        {u"a=b", u"a=b"},
        {u"a==b", u"a==b"},
        {u"=lead", u"\"=lead\""},
        {u" lead", u"\" lead\""},
        {u"trail ", u"\"trail \""},
        {u"\ttab", u"\"\ttab\""},
        {u"in side", u"in side"},
        {u"it's \"so\"", u"it's \"so\""},
        {u"'single'", u"\"'single'\""},
        {u"\"double\"", u"'\"double\"'"},
        {u"'both\"", u"\"'both\"\"\""},
        {u"\"both' ;", u"\"\"\"both' ;\""},
        {u"\u05E1\u05D9\u05E1\u05DE\u05D4", u"\u05E1\u05D9\u05E1\u05DE\u05D4"},
        {u"\u05E9\u05DC\u05D5\u05DD; \u05E2\u05D5\u05DC\u05DD",
         u"\"\u05E9\u05DC\u05D5\u05DD; \u05E2\u05D5\u05DC\u05DD\""},
    };
    struct Kind {
        int index;
        std::size_t entries;
        std::array<const char16_t*, 4> keys; // server, database, user, password; null: unused
    } kinds[] = {
        {dkOracle, 5, {nullptr, u"Data Source", u"User ID", u"Password"}},
        {dkSQLServer, 10, {u"Data Source", u"Initial Catalog", u"User ID", u"Password"}},
        {dkSQLite, 2, {nullptr, u"Data Source", nullptr, nullptr}},
    };
    const std::array<std::u16string, 4> others{u"srv", u"db", u"usr", u"pwd"};

    for (const auto& c : cases) {
        EXPECT_EQ(ToUtf8(ConnectionStringValue(c.typed)), ToUtf8(c.written));
        for (const auto& kind : kinds)
            for (std::size_t place = 0; place < 4; ++place) {
                if (!kind.keys[place])
                    continue;
                auto texts = others;
                texts[place] = c.typed;
                auto text =
                    BuildConnectionString(kind.index, texts[0], texts[1], texts[2], texts[3]);
                auto parsed = ConnectionString::Parse(text);
                SCOPED_TRACE(ToUtf8(text));
                EXPECT_EQ(parsed.Entries().size(), kind.entries);
                for (std::size_t field = 0; field < 4; ++field) {
                    if (kind.keys[field]) {
                        EXPECT_EQ(ToUtf8(parsed.Value(kind.keys[field]).value_or(u"<missing>")),
                                  ToUtf8(texts[field]));
                    }
                }
            }
    }
}

} // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "app/ConnectionStrings.h"
#include "base/Text.h"
#include "data/ConnectionString.h"
#include "data/drivers/ProviderRouting.h"
#include "data/drivers/odbc/OdbcConnectionString.h"

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

// The ODBC kind through ODBC's own provider to the string the driver receives: a data source
// or a whole connection string, with the other edits in place of what it says about them, and
// each typed value read back exactly by the ODBC rule.
TEST(ConnectionStrings, OdbcKindGivesTheDriverExactlyTheTypedValues) {
    const std::vector<std::u16string> drivers = {u"SQLite3", u"PostgreSQL Unicode", u"FreeTDS"};
    const std::vector<OdbcDataSource> dataSources = {{u"Sales", u"PostgreSQL Unicode"}};
    const char* postgres = ";UseDeclareFetch=1;Fetch=1000;BoolsAsChar=0";
    struct Case {
        const char16_t* server;
        const char16_t* database;
        const char16_t* user;
        const char16_t* password;
        const char* oleDb;
        std::string odbc;
    } cases[] = {
        // A data source, which names the driver that streams.
        {u"Sales", u"", u"", u"", "Provider=MSDASQL;Data Source=Sales",
         "DSN=Sales" + std::string(postgres)},
        {u"Other", u"shop", u"ann", u"pw",
         "Provider=MSDASQL;Data Source=Other;Initial Catalog=shop;User ID=ann;Password=pw",
         "DSN=Other;DATABASE=shop;UID=ann;PWD=pw"},
        // A connection string, with and without a user and password of its own.
        {u"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432", u"postgres", u"postgres", u"",
         "Provider=MSDASQL;Extended Properties=\"Driver={PostgreSQL Unicode};Server=127.0.0.1;"
         "Port=5432\";Initial Catalog=postgres;User ID=postgres",
         "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;DATABASE=postgres;UID=postgres" +
             std::string(postgres)},
        {u"DSN=Sales;UID=ann;PWD={a;b}", u"", u"", u"",
         "Provider=MSDASQL;Extended Properties=\"DSN=Sales;UID=ann;PWD={a;b}\"",
         "DSN=Sales;UID=ann;PWD={a;b}" + std::string(postgres)},
        {u"Driver={SQLite3};database=/tmp/a.db;Username=old;Password={x;y};Timeout=9", u"/tmp/b.db",
         u"new", u"p",
         "Provider=MSDASQL;Extended Properties=\"Driver={SQLite3};database=/tmp/a.db;"
         "Username=old;Password={x;y};Timeout=9\";Initial Catalog=/tmp/b.db;User ID=new;"
         "Password=p",
         "Driver={SQLite3};Timeout=9;DATABASE=/tmp/b.db;UID=new;PWD=p;StepAPI=1"},
        // Values that would change the structure of either string.
        {u" Sales;x ", u"a;b", u"{u}", u" p=}; ",
         "Provider=MSDASQL;Data Source=\" Sales;x \";Initial Catalog=\"a;b\";User ID={u};"
         "Password=\" p=}; \"",
         "DSN={ Sales;x };DATABASE={a;b};UID={{u}}};PWD={ p=}}; }"},
        {u" DSN=Sales ", u"=db", u"'q'", u"\"",
         "Provider=MSDASQL;Extended Properties=\" DSN=Sales \";Initial Catalog=\"=db\";"
         "User ID=\"'q'\";Password='\"'",
         "DSN=Sales;DATABASE==db;UID='q';PWD=\"" + std::string(postgres)},
    };
    for (const auto& c : cases) {
        auto text = BuildConnectionString(dkOdbc, c.server, c.database, c.user, c.password);
        EXPECT_EQ(ToUtf8(text), c.oleDb);
        ProviderRoute route = RouteProvider(ConnectionString::Parse(text), drivers, dataSources);
        EXPECT_EQ(ToUtf8(route.target), c.odbc) << c.oleDb;

        std::vector<std::pair<std::u16string, std::u16string>> typed = {
            {u"DATABASE", c.database}, {u"UID", c.user}, {u"PWD", c.password}};
        if (std::u16string_view(c.server).find(u'=') == std::u16string_view::npos)
            typed.push_back({u"DSN", c.server});
        auto segments = ReadOdbcConnectionString(route.target, u"the test");
        for (const auto& [key, value] : typed) {
            auto found = std::find_if(segments.begin(), segments.end(),
                                      [&](const OdbcSegment& s) { return s.key == key; });
            if (!value.empty()) {
                ASSERT_NE(found, segments.end()) << ToUtf8(key) << " in " << c.odbc;
                EXPECT_EQ(ToUtf8(found->value), ToUtf8(value));
            }
        }
    }
}

} // namespace

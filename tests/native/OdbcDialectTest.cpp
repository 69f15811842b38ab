#include <gtest/gtest.h>

#include "base/Text.h"
#include "data/drivers/odbc/OdbcDialect.h"

namespace {

TEST(OdbcDialect, TheDatabaseIsToldByWhatItsDriverSays) {
    using Returning = SqlDialect::InsertReturning;
    struct Case {
        OdbcDatabaseInfo info;
        bool postgres;
        const char* quotes; // open and close
        Returning returning;
        bool namesIgnoreCase;
    } cases[] = {
        {{u"PostgreSQL", u"15.4", u"\"", false}, true, "\"\"", Returning::Returning, false},
        {{u"Microsoft SQL Server", u"15.00", u"\"", true}, false, "\"\"", Returning::Output, true},
        {{u"SQLite", u"3.40.1", u"\"", false}, false, "\"\"", Returning::Returning, true},
        {{u"SQLite", u"3.34.1", u"\"", false}, false, "\"\"", Returning::None, true},
        {{u"MySQL", u"8.0.36", u"`", false}, false, "``", Returning::None, false},
        {{u"Sybase", u"16", u"[", true}, false, "[]", Returning::None, true},
        {{u"Oracle", u"19.0", u" ", false}, false, "\"\"", Returning::None, false},
        {{u"", u"", u"", false}, false, "\"\"", Returning::None, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.info.dbmsName) + " " + ToUtf8(c.info.dbmsVersion));
        SqlDialect dialect = OdbcDialect(c.info);
        EXPECT_EQ(IsPostgres(c.info.dbmsName), c.postgres);
        EXPECT_EQ(ToUtf8(std::u16string{dialect.quoteOpen, dialect.quoteClose}), c.quotes);
        EXPECT_EQ(dialect.insertReturning, c.returning);
        EXPECT_EQ(dialect.namesIgnoreCase, c.namesIgnoreCase);
    }
}

TEST(OdbcDialect, VersionsCompareByTheirNumbers) {
    struct Case {
        const char16_t* version;
        int major, minor;
        bool atLeast;
    } cases[] = {
        {u"3.35.0", 3, 35, true},
        {u"03.35.0000", 3, 35, true},
        {u"3.34.1", 3, 35, false},
        {u"3.9", 3, 35, false},
        {u"4.0", 3, 35, true},
        {u"3", 3, 0, true},
        {u"3", 3, 1, false},
        {u"", 3, 35, false},
        {u"release 3", 3, 35, false},
        {u"10.0", 9, 99, true},
        {u"99999999999.1", 100000, 1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionAtLeast(c.version, c.major, c.minor), c.atLeast)
            << ToUtf8(c.version) << " >= " << c.major << "." << c.minor;
}

} // namespace

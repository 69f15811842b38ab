#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/drivers/ProviderRouting.h"
#include "data/drivers/odbc/OdbcConnectionString.h"

namespace {

const std::vector<std::u16string> kHostDrivers = {u"SQLite3", u"SQLite", u"PostgreSQL Unicode",
                                                  u"PostgreSQL ANSI", u"FreeTDS"};
const std::vector<std::u16string> kWindowsDrivers = {u"SQL Server",
                                                     u"FreeTDS",
                                                     u"ODBC Driver 17 for SQL Server",
                                                     u"Oracle in OraClient19Home1",
                                                     u"ODBC Driver 18 for SQL Server",
                                                     u"Oracle 21 ODBC driver"};

// "sqlite:<path>" for the embedded engine, the ODBC string otherwise, "error: <message>".
std::string Route(const char16_t* text, const std::vector<std::u16string>& drivers) {
    try {
        ProviderRoute route = RouteProvider(ConnectionString::Parse(text), drivers);
        if (route.kind == ProviderRoute::Kind::Sqlite)
            return "sqlite:" + ToUtf8(route.target);
        return ToUtf8(route.target);
    } catch (const Exception& e) {
        return "error: " + ToUtf8(e.Message());
    }
}

// The strings the window builds for SQL Server, with the given server and password.
std::u16string SqlServerString(std::u16string_view server, std::u16string_view password) {
    return u"Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;password=" +
           std::u16string(password) + u";Initial Catalog=shop;Data Source=" +
           std::u16string(server) +
           u";Auto Tranlate=False;Use Procedure for Prepare=1;Packet Size=4096;"
           u"Use Encryption for Data=False";
}

TEST(ProviderRouting, RoutesEachProviderToItsDriverWithItsKeys) {
    struct Case {
        std::u16string text;
        std::vector<std::u16string> drivers;
        const char* expected;
    } cases[] = {
        // SQL Server: the preferred driver installed, keys translated, OLE DB-only keys gone.
        {SqlServerString(u"db01", u"pw"), kWindowsDrivers,
         "DRIVER={ODBC Driver 18 for SQL Server};UID=sa;PWD=pw;DATABASE=shop;SERVER=db01;"
         "Encrypt=no"},
        {SqlServerString(u"db01", u"pw"),
         {u"SQL Server", u"ODBC Driver 17 for SQL Server"},
         "DRIVER={ODBC Driver 17 for SQL Server};UID=sa;PWD=pw;DATABASE=shop;SERVER=db01;"
         "Encrypt=no"},
        {SqlServerString(u"db01", u"pw"),
         {u"SQL Server"},
         "DRIVER={SQL Server};UID=sa;PWD=pw;DATABASE=shop;SERVER=db01"},
        // FreeTDS reads the port on its own.
        {SqlServerString(u"10.0.0.5,1433", u""), kHostDrivers,
         "DRIVER={FreeTDS};UID=sa;PWD=;DATABASE=shop;SERVER=10.0.0.5;PORT=1433"},
        {SqlServerString(u"10.0.0.5,1433", u""),
         {u"ODBC Driver 18 for SQL Server"},
         "DRIVER={ODBC Driver 18 for SQL Server};UID=sa;PWD=;DATABASE=shop;"
         "SERVER=10.0.0.5,1433;Encrypt=no"},
        {u"provider=sqloledb;Data Source=(local);Integrated Security=SSPI;"
         u"Use Encryption for Data=True",
         kHostDrivers, "DRIVER={FreeTDS};SERVER=(local);Trusted_Connection=Yes;Encryption=require"},
        // Typed values reach the driver exactly, whatever they hold.
        {SqlServerString(u"db01", u"'x;Data Source=other'"),
         {u"SQL Server"},
         "DRIVER={SQL Server};UID=sa;PWD={x;Data Source=other};DATABASE=shop;SERVER=db01"},
        {SqlServerString(u"db01", u"\"}{ \""),
         {u"SQL Server"},
         "DRIVER={SQL Server};UID=sa;PWD={}}{ };DATABASE=shop;SERVER=db01"},

        // Oracle: the first driver named for it.
        {u"Provider=OraOLEDB.Oracle.1;Password=tiger;Persist Security Info=True;User ID=scott;"
         u"Data Source=orcl",
         kWindowsDrivers, "DRIVER={Oracle in OraClient19Home1};PWD=tiger;UID=scott;DBQ=orcl"},

        // ODBC's own provider, named or implied: its string, then the other keys.
        {u"Provider=MSDASQL.1;Extended Properties=\"DRIVER={SQLite3};Database={/tmp/a;b.db}\"",
         kHostDrivers, "DRIVER={SQLite3};Database={/tmp/a;b.db};StepAPI=1"},
        {u"Provider=MSDASQL;Data Source=sales;User ID=u;Password=p", kHostDrivers,
         "DSN=sales;UID=u;PWD=p"},
        {u"Extended Properties='DSN=sales;UID=old';User ID=new", {}, "DSN=sales;UID=new"},
        // A setting set again under another of its names replaces the first.
        {u"Extended Properties='DSN=sales;Username=old;pwd=x;DB=a;Password=y';User ID=new;"
         u"Password=p;Initial Catalog=b",
         {},
         "DSN=sales;UID=new;PWD=p;DATABASE=b"},
        {u"Driver={SQLite3};Database=/tmp/x.db", kHostDrivers,
         "Driver={SQLite3};Database=/tmp/x.db;StepAPI=1"},
        {u"Provider=MSDASQL;Extended Properties='Driver={PostgreSQL Unicode};Server=h'",
         kHostDrivers,
         "Driver={PostgreSQL Unicode};Server=h;UseDeclareFetch=1;Fetch=1000;BoolsAsChar=0"},
        // Settings the string makes itself stay as they are.
        {u"Extended Properties='Driver={PostgreSQL Unicode};B6=0;BoolsAsChar=1'", kHostDrivers,
         "Driver={PostgreSQL Unicode};B6=0;BoolsAsChar=1"},
        {u"Extended Properties='Driver={PostgreSQL Unicode};Fetch=50'", kHostDrivers,
         "Driver={PostgreSQL Unicode};Fetch=50;UseDeclareFetch=1;BoolsAsChar=0"},
        {u"Extended Properties='Driver={SQLite3};stepapi=0'", kHostDrivers,
         "Driver={SQLite3};stepapi=0"},

        // The embedded engine.
        {u"Provider=SQLite;Data Source=' /tmp/my db.sqlite'", {}, "sqlite: /tmp/my db.sqlite"},
        {u"provider=SQLITE;Data Source=", {}, "sqlite:"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Route(c.text.c_str(), c.drivers), c.expected) << ToUtf8(c.text);
}

// The driver that decides on streaming is the string's own, named or given by its library's
// path, or the one its data source names.
TEST(ProviderRouting, StreamsByTheDriverOfTheDataSourceOrTheLibrary) {
    const std::vector<OdbcDataSource> sources = {
        {u"pg", u"PostgreSQL Unicode"},
        {u"lite", u"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so"},
        {u"win", u"SQLite3 ODBC Driver"},
        {u"tds", u"FreeTDS"},
    };
    const std::string postgres = ";UseDeclareFetch=1;Fetch=1000;BoolsAsChar=0";
    struct Case {
        const char16_t* odbc;
        std::string expected;
    } cases[] = {
        {u"DSN=PG", "DSN=PG" + postgres},
        {u"DSN=lite;UID=u", "DSN=lite;UID=u;StepAPI=1"},
        {u"DSN=win;StepAPI=0", "DSN=win;StepAPI=0"},
        {u"DSN=tds", "DSN=tds"},
        {u"DSN=missing", "DSN=missing"},
        {u"Driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so;Server=h",
         "Driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so;Server=h" + postgres},
        {u"Driver={C:\\Program Files\\psqlODBC\\bin\\psqlodbc35w.dll}",
         "Driver={C:\\Program Files\\psqlODBC\\bin\\psqlodbc35w.dll}" + postgres},
        {u"Driver={PostgreSQL Unicode(x64)}", "Driver={PostgreSQL Unicode(x64)}" + postgres},
    };
    for (const auto& c : cases) {
        auto text = u"Provider=MSDASQL;Extended Properties=" + ConnectionStringValue(c.odbc);
        EXPECT_EQ(ToUtf8(RouteProvider(ConnectionString::Parse(text), {}, sources).target),
                  c.expected);
    }
}

TEST(ProviderRouting, NamesTheMissingProviderOrDriver) {
    EXPECT_EQ(Route(u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb", kHostDrivers),
              "error: Provider cannot be found: Microsoft.Jet.OLEDB.4.0 (known providers: "
              "SQLOLEDB.1, OraOLEDB.Oracle.1, MSDASQL, SQLite)");
    EXPECT_EQ(Route(SqlServerString(u"db01", u"pw").c_str(), {u"SQLite3"}),
              "error: No ODBC driver for SQL Server is installed (provider SQLOLEDB.1; looked "
              "for \"ODBC Driver 18 for SQL Server\", \"ODBC Driver 17 for SQL Server\", "
              "\"SQL Server Native Client 11.0\", \"SQL Server\", \"FreeTDS\")");
    EXPECT_EQ(Route(u"Provider=OraOLEDB.Oracle;Data Source=orcl", kHostDrivers),
              "error: No ODBC driver for Oracle is installed (provider OraOLEDB.Oracle; looked "
              "for a driver whose name begins with \"Oracle\")");
}

// The driver must read the same settings that the string means: braces closed, a "}" inside
// them doubled, and a value that opens a brace and never closes it refused.
TEST(ProviderRouting, BracesInOdbcStringsAreBalancedOrRefused) {
    const std::string opens = "error: In the ODBC connection string of Extended Properties, the "
                              "value after \"PWD=\" opens with '{' but has no closing '}'";
    struct Case {
        const char16_t* text;
        std::vector<std::u16string> drivers;
        std::string expected;
    } cases[] = {
        {u"Provider=OraOLEDB.Oracle;Data Source=orcl",
         {u"Oracle {x} 21"},
         "DRIVER={Oracle {x}} 21};DBQ=orcl"},
        {u"Provider=MSDASQL;Extended Properties=\"DRIVER={SQLite3};PWD={ab\"", kHostDrivers, opens},
        {u"Extended Properties='DSN=a;PWD={ab;UID=u}}'", {}, opens},
        {u"Extended Properties='DSN=a;PWD={a}}'", {}, opens},
        {u"Extended Properties='PWD={a}b;UID=u'",
         {},
         "error: In the ODBC connection string of Extended Properties, the value after "
         "\"PWD=\" has text after its closing '}'"},
        {u"Extended Properties='DSN=a;PWD= {a}}b} ;UID=u'", {}, "DSN=a;PWD= {a}}b};UID=u"},
        {u"Extended Properties='DSN=a;PWD=a}b'", {}, "DSN=a;PWD=a}b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Route(c.text, c.drivers), c.expected) << ToUtf8(c.text);
}

TEST(ProviderRouting, QuotesOdbcValuesOnlyWhenNeeded) {
    struct Case {
        const char16_t* value;
        const char16_t* quoted;
    } cases[] = {
        {u"", u""},
        {u"plain value", u"plain value"},
        {u"a=b", u"a=b"},
        {u"a;b", u"{a;b}"},
        {u"{x", u"{{x}"},
        {u"x}", u"{x}}}"},
        {u" lead", u"{ lead}"},
        {u"trail\t", u"{trail\t}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(OdbcValue(c.value)), ToUtf8(c.quoted)) << ToUtf8(c.value);
}

} // namespace

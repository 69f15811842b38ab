#include "app/ConnectionStrings.h"
#include "data/ConnectionString.h"
#include "data/drivers/ProviderRouting.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/OdbcSettings.h"

// The input's lines: the kind's index (a digit), then server, database, user and password as
// typed. What was typed must reach the OLE DB string and then the driver's ODBC string exactly,
// under its own key, without adding, hiding or moving any other.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = FuzzText(data, size);
    auto lines = SplitText(text, u'\n');
    lines.resize(std::max<std::size_t>(lines.size(), 5));
    int kind = lines[0].empty() ? -1 : lines[0][0] - u'0';
    const std::u16string &server = lines[1], &database = lines[2], &user = lines[3],
                         &password = lines[4];

    OdbcSettings oleDb, odbc;
    switch (kind) {
    case dkOracle:
        oleDb = {{u"Provider", u"OraOLEDB.Oracle.1"},
                 {u"Password", password},
                 {u"Persist Security Info", u"True"},
                 {u"User ID", user},
                 {u"Data Source", database}};
        odbc = {
            {u"DRIVER", u"Oracle in XE"}, {u"PWD", password}, {u"UID", user}, {u"DBQ", database}};
        break;
    case dkSQLite:
        oleDb = {{u"Provider", u"SQLite"}, {u"Data Source", database}};
        break;
    default:
        oleDb = {{u"Provider", u"SQLOLEDB.1"},
                 {u"Persist Security Info", u"False"},
                 {u"User ID", user},
                 {u"password", password},
                 {u"Initial Catalog", database},
                 {u"Data Source", server},
                 {u"Auto Tranlate", u"False"},
                 {u"Use Procedure for Prepare", u"1"},
                 {u"Packet Size", u"4096"},
                 {u"Use Encryption for Data", u"False"}};
        odbc = {{u"DRIVER", u"SQL Server"},
                {u"UID", user},
                {u"PWD", password},
                {u"DATABASE", database},
                {u"SERVER", server}};
    }

    auto built =
        ConnectionString::Parse(BuildConnectionString(kind, server, database, user, password));
    Require(built.Entries() == oleDb, "the OLE DB string holds exactly the typed values", text);

    ProviderRoute route = RouteProvider(built, {u"SQL Server", u"Oracle in XE"});
    if (kind == dkSQLite) {
        Require(route.kind == ProviderRoute::Kind::Sqlite && route.target == database,
                "the embedded engine opens the typed file", text);
    } else {
        Require(ReadOdbcSettings(route.target) == odbc,
                "the ODBC string holds exactly the typed values", text);
    }
    return 0;
}

#include <algorithm>
#include <tuple>

#include "app/ConnectionStrings.h"
#include "base/Exception.h"
#include "base/Text.h"
#include "data/ConnectionString.h"
#include "data/drivers/ProviderRouting.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/OdbcSettings.h"

namespace {

// An edit with the OLE DB key and the ODBC key it becomes, and its text as typed.
using Typed = std::tuple<const char16_t*, const char16_t*, const std::u16string&>;

// What the routing may add for a driver that would read a whole result first.
bool IsStreamingKey(std::u16string_view key) {
    for (const char16_t* streaming : {u"StepAPI", u"UseDeclareFetch", u"Fetch", u"BoolsAsChar"})
        if (SameText(key, streaming))
            return true;
    return false;
}

// A connection string typed as the ODBC server reaches the driver with each of its settings
// (the last, when it names one twice), except those that a filled edit overrides, which reach
// it under their own keys instead; nothing else is added but the streaming settings. Only a
// string that breaks the ODBC rule may be refused.
void RequireOverridden(const ConnectionString& built, std::u16string_view server,
                       const Typed (&typed)[3], std::u16string_view text) {
    auto own = ReadOdbcSettings(server);
    ProviderRoute route;
    try {
        route = RouteProvider(built, {});
    } catch (const Exception&) {
        Require(!own, "only a string that breaks the ODBC rule is refused", text);
        return;
    }
    OdbcSettings settings = RequireRoutedSettings(route.target, text);
    auto has = [&](const OdbcSettings& among, const std::pair<std::u16string, std::u16string>& s) {
        return std::find(among.begin(), among.end(), s) != among.end();
    };
    auto edited = [&](std::u16string_view key) {
        for (const auto& [oleDbKey, odbcKey, value] : typed)
            if (!value.empty() && SameOdbcSetting(key, odbcKey))
                return true;
        return false;
    };
    for (const auto& [oleDbKey, odbcKey, value] : typed)
        if (!value.empty())
            Require(has(settings, {odbcKey, value}), "a filled edit reaches the driver", text);
    if (!own)
        return;
    for (std::size_t i = 0; i < own->size(); ++i) {
        const auto& setting = (*own)[i];
        bool later =
            std::any_of(own->begin() + std::ptrdiff_t(i) + 1, own->end(),
                        [&](const auto& s) { return SameOdbcSetting(s.first, setting.first); });
        if (!later && !edited(setting.first))
            Require(has(settings, setting), "the string's own settings reach the driver", text);
    }
    for (const auto& setting : settings)
        Require(has(*own, setting) || edited(setting.first) || IsStreamingKey(setting.first),
                "nothing is added but the edits and the streaming settings", text);
}

} // namespace

// The input's lines: the kind's index (a digit), then server, database, user and password as
// typed. What was typed must reach the OLE DB string and then the driver's ODBC string exactly,
// under its own key, without adding, hiding or moving any other; for ODBC, a connection string
// typed as the server keeps its own settings but those the edits override.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = FuzzText(data, size);
    auto lines = SplitText(text, u'\n');
    lines.resize(std::max<std::size_t>(lines.size(), 5));
    int kind = lines[0].empty() ? -1 : lines[0][0] - u'0';
    const std::u16string &server = lines[1], &database = lines[2], &user = lines[3],
                         &password = lines[4];

    // For ODBC: a server with "=" is a connection string; the other edits count when filled.
    bool odbcString = server.find(u'=') != std::u16string::npos;
    const Typed typed[] = {{u"Initial Catalog", u"DATABASE", database},
                           {u"User ID", u"UID", user},
                           {u"Password", u"PWD", password}};

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
    case dkOdbc:
        oleDb = {{u"Provider", u"MSDASQL"},
                 {odbcString ? u"Extended Properties" : u"Data Source", server}};
        if (!odbcString)
            odbc = {{u"DSN", server}};
        for (const auto& [oleDbKey, odbcKey, value] : typed)
            if (!value.empty()) {
                oleDb.emplace_back(oleDbKey, value);
                odbc.emplace_back(odbcKey, value);
            }
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

    if (kind == dkOdbc && odbcString) {
        RequireOverridden(built, server, typed, text);
        return 0;
    }
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

#include "data/drivers/ProviderRouting.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/drivers/odbc/OdbcConnectionString.h"

namespace {

bool AllDigits(std::u16string_view text) {
    return !text.empty() && text.find_first_not_of(u"0123456789") == std::u16string_view::npos;
}

// Characters an ODBC keyword cannot hold; a key with one of them would change the string's
// structure, so it is not passed on.
bool IsOdbcKeyword(std::u16string_view key) {
    return !key.empty() && key.find_first_of(u"[]{}(),;?*=!@") == std::u16string_view::npos;
}

// Names under which drivers read one setting besides its ODBC name: psqlODBC reads
// "Username" and "Password", MariaDB's and MySQL's drivers "User", "Password" and "DB",
// DataDirect's "LogonID".
constexpr const char16_t* kSettingNames[][4] = {
    {u"UID", u"Username", u"User", u"LogonID"},
    {u"PWD", u"Password"},
    {u"DATABASE", u"DB"},
};

bool SameSetting(std::u16string_view a, std::u16string_view b) {
    if (SameText(a, b))
        return true;
    for (const auto& names : kSettingNames) {
        auto named = [&](std::u16string_view key) {
            return std::any_of(std::begin(names), std::end(names),
                               [&](const char16_t* name) { return name && SameText(key, name); });
        };
        if (named(a) && named(b))
            return true;
    }
    return false;
}

// An ODBC connection string being assembled. Setting a key again, under any of its names,
// replaces its earlier value, so that no driver has to decide which of two wins.
class OdbcString {
public:
    void Set(std::u16string_view key, std::u16string_view value) {
        SetSegment(key, value, std::u16string(key) + u"=" + OdbcValue(value));
    }
    // In braces whatever it holds, as driver names are written.
    void SetBraced(std::u16string_view key, std::u16string_view value) {
        SetSegment(key, value, std::u16string(key) + u"=" + OdbcBraced(value));
    }
    // A segment kept exactly as written, with the value it stands for.
    void SetSegment(std::u16string_view key, std::u16string_view value, std::u16string segment) {
        std::erase_if(entries_, [&](const Entry& entry) { return SameSetting(entry.key, key); });
        entries_.push_back({std::u16string(key), std::u16string(value), std::move(segment)});
    }
    std::optional<std::u16string> Value(std::u16string_view key) const {
        for (const Entry& entry : entries_)
            if (SameText(entry.key, key))
                return entry.value;
        return std::nullopt;
    }
    bool Has(std::u16string_view key) const { return Value(key).has_value(); }
    std::u16string Text() const {
        std::u16string text;
        for (const Entry& entry : entries_) {
            if (!text.empty())
                text += u';';
            text += entry.segment;
        }
        return text;
    }

private:
    struct Entry {
        std::u16string key;
        std::u16string value;
        std::u16string segment;
    };
    std::vector<Entry> entries_;
};

// Takes over an ODBC connection string segment by segment, each as written.
void AppendOdbcString(std::u16string_view text, OdbcString& odbc) {
    for (const OdbcSegment& segment :
         ReadOdbcConnectionString(text, u"the ODBC connection string of Extended Properties"))
        odbc.SetSegment(segment.key, segment.value, segment.text);
}

// A key of the OLE DB string that the provider does not translate goes on to the driver.
// A value already in ODBC braces (as in "Driver={SQLite3}", common in strings written for
// MSDASQL) is kept as written.
void PassOn(std::u16string_view key, std::u16string_view value, OdbcString& odbc) {
    if (!IsOdbcKeyword(key))
        return;
    if (auto unbraced = OdbcUnbraced(value))
        odbc.SetSegment(key, *unbraced, std::u16string(key) + u"=" + std::u16string(value));
    else
        odbc.Set(key, value);
}

// `from` names an OLE DB key; `to` its ODBC key, or null when the key is dropped.
struct KeyMapping {
    const char16_t* from;
    const char16_t* to;
};

// Keys every provider treats alike.
constexpr KeyMapping kCommonKeys[] = {
    {u"Provider", nullptr},
    {u"Persist Security Info", nullptr},
    {u"User ID", u"UID"},
    {u"Password", u"PWD"},
};

// Translates every key, through the provider's own table first; the caller handles a key
// when `special` returns true for it.
template <std::size_t N, typename Special>
void MapKeys(const ConnectionString& connection, const KeyMapping (&keys)[N], OdbcString& odbc,
             Special special) {
    for (const auto& [key, value] : connection.Entries()) {
        if (special(key, value))
            continue;
        const KeyMapping* found = nullptr;
        for (const KeyMapping& mapping : keys)
            if (SameText(key, mapping.from))
                found = &mapping;
        for (const KeyMapping& mapping : kCommonKeys)
            if (!found && SameText(key, mapping.from))
                found = &mapping;
        if (!found)
            PassOn(key, value, odbc);
        else if (found->to)
            odbc.Set(found->to, value);
    }
}

std::optional<bool> BooleanValue(std::u16string_view value) {
    value = Trimmed(value);
    if (SameText(value, u"true") || SameText(value, u"yes") || value == u"1")
        return true;
    if (SameText(value, u"false") || SameText(value, u"no") || value == u"0")
        return false;
    return std::nullopt;
}

const std::u16string* FindDriver(const std::vector<std::u16string>& installed,
                                 std::u16string_view name) {
    for (const auto& driver : installed)
        if (SameText(driver, name))
            return &driver;
    return nullptr;
}

OdbcString SqlServerString(const ConnectionString& connection, std::u16string_view provider,
                           const std::vector<std::u16string>& installed) {
    static constexpr const char16_t* kPreferred[] = {
        u"ODBC Driver 18 for SQL Server", u"ODBC Driver 17 for SQL Server",
        u"SQL Server Native Client 11.0", u"SQL Server", u"FreeTDS"};
    const std::u16string* driver = nullptr;
    for (const char16_t* name : kPreferred)
        if (!driver)
            driver = FindDriver(installed, name);
    if (!driver) {
        std::u16string names;
        for (const char16_t* name : kPreferred)
            names += (names.empty() ? u"\"" : u", \"") + std::u16string(name) + u"\"";
        throw Exception(u"No ODBC driver for SQL Server is installed (provider " +
                        std::u16string(provider) + u"; looked for " + names + u")");
    }
    bool freeTds = SameText(*driver, u"FreeTDS");
    // Driver 18 encrypts unless told otherwise, and then refuses servers without a trusted
    // certificate, which the provider's "False" accepts.
    bool encryptsByDefault = StartsWithText(*driver, u"ODBC Driver 1");

    OdbcString odbc;
    odbc.SetBraced(u"DRIVER", *driver);
    static constexpr KeyMapping kKeys[] = {
        {u"Data Source", u"SERVER"},
        {u"Initial Catalog", u"DATABASE"},
        {u"Application Name", u"APP"},
        {u"Workstation ID", u"WSID"},
        {u"Auto Tranlate", nullptr},
        {u"Auto Translate", nullptr},
        {u"Use Procedure for Prepare", nullptr},
        {u"Packet Size", nullptr},
        {u"Extended Properties", nullptr},
        {u"Driver", nullptr},
        {u"DSN", nullptr},
    };
    MapKeys(connection, kKeys, odbc, [&](std::u16string_view key, std::u16string_view value) {
        if (SameText(key, u"Integrated Security")) {
            auto trimmed = Trimmed(value);
            if (SameText(trimmed, u"SSPI") || SameText(trimmed, u"true"))
                odbc.Set(u"Trusted_Connection", u"Yes");
            return true;
        }
        if (SameText(key, u"Use Encryption for Data")) {
            auto encrypt = BooleanValue(value);
            if (encrypt && freeTds && *encrypt)
                odbc.Set(u"Encryption", u"require");
            else if (encrypt && !freeTds && (*encrypt || encryptsByDefault))
                odbc.Set(u"Encrypt", *encrypt ? u"yes" : u"no");
            return true;
        }
        // FreeTDS takes the port separately and would read "host,port" as a host name.
        if (freeTds && SameText(key, u"Data Source")) {
            auto comma = value.rfind(u',');
            if (comma != std::u16string_view::npos && AllDigits(Trimmed(value.substr(comma + 1)))) {
                odbc.Set(u"SERVER", Trimmed(value.substr(0, comma)));
                odbc.Set(u"PORT", Trimmed(value.substr(comma + 1)));
                return true;
            }
        }
        return false;
    });
    return odbc;
}

OdbcString OracleString(const ConnectionString& connection, std::u16string_view provider,
                        const std::vector<std::u16string>& installed) {
    const std::u16string* driver = nullptr;
    for (const auto& name : installed)
        if (!driver && StartsWithText(name, u"Oracle"))
            driver = &name;
    if (!driver)
        throw Exception(u"No ODBC driver for Oracle is installed (provider " +
                        std::u16string(provider) +
                        u"; looked for a driver whose name begins with \"Oracle\")");
    OdbcString odbc;
    odbc.SetBraced(u"DRIVER", *driver);
    static constexpr KeyMapping kKeys[] = {
        {u"Data Source", u"DBQ"},
        {u"Extended Properties", nullptr},
        {u"Driver", nullptr},
        {u"DSN", nullptr},
    };
    MapKeys(connection, kKeys, odbc, [](auto, auto) { return false; });
    return odbc;
}

OdbcString MsdasqlString(const ConnectionString& connection) {
    OdbcString odbc;
    if (auto extended = connection.Value(u"Extended Properties"))
        AppendOdbcString(*extended, odbc);
    // "Database" is the key that psqlODBC, SQLite ODBC (as the database file) and FreeTDS
    // each read, all without regard to case; none of them knows "Initial Catalog".
    static constexpr KeyMapping kKeys[] = {
        {u"Extended Properties", nullptr},
        {u"Data Source", u"DSN"},
        {u"Initial Catalog", u"DATABASE"},
    };
    MapKeys(connection, kKeys, odbc, [](auto, auto) { return false; });
    return odbc;
}

enum class Streaming { None, Sqlite, Postgres };

// A driver by its name (Windows' "SQLite3 ODBC Driver", "PostgreSQL Unicode(x64)"; unixODBC's
// "SQLite3", "PostgreSQL Unicode") or, as unixODBC also takes it, by its library's path
// (".../libsqlite3odbc.so", ".../psqlodbcw.so").
Streaming StreamingOf(std::u16string_view driver) {
    std::u16string_view file = driver.substr(driver.find_last_of(u"/\\") + 1);
    if (StartsWithText(file, u"SQLite") || StartsWithText(file, u"libsqlite"))
        return Streaming::Sqlite;
    if (StartsWithText(file, u"PostgreSQL") || StartsWithText(file, u"psqlodbc"))
        return Streaming::Postgres;
    return Streaming::None;
}

// The driver the string connects with: its own DRIVER, or the one its DSN names.
std::u16string DriverOf(const OdbcString& odbc, const std::vector<OdbcDataSource>& dataSources) {
    if (auto driver = odbc.Value(u"DRIVER"))
        return *driver;
    if (auto dsn = odbc.Value(u"DSN"))
        for (const OdbcDataSource& source : dataSources)
            if (SameText(source.name, *dsn))
                return source.driver;
    return {};
}

// SQLite ODBC and psqlODBC read a whole result into memory before returning its first row,
// unless told to step through it (SQLite) or to fetch it through a cursor in blocks
// (PostgreSQL). psqlODBC also reports booleans as text unless told otherwise. These settings
// override a data source's own, which the driver manager under Wine gives no way to read.
void AddStreamingKeys(OdbcString& odbc, const std::vector<OdbcDataSource>& dataSources) {
    switch (StreamingOf(DriverOf(odbc, dataSources))) {
    case Streaming::Sqlite:
        if (!odbc.Has(u"StepAPI"))
            odbc.Set(u"StepAPI", u"1");
        break;
    case Streaming::Postgres:
        // psqlODBC also reads each setting under a two-character abbreviation.
        if (!odbc.Has(u"UseDeclareFetch") && !odbc.Has(u"B6")) {
            odbc.Set(u"UseDeclareFetch", u"1");
            if (!odbc.Has(u"Fetch") && !odbc.Has(u"A7"))
                odbc.Set(u"Fetch", u"1000");
        }
        if (!odbc.Has(u"BoolsAsChar") && !odbc.Has(u"B9"))
            odbc.Set(u"BoolsAsChar", u"0");
        break;
    case Streaming::None:
        break;
    }
}

bool IsMsdasql(std::u16string_view provider) {
    return SameText(provider, u"MSDASQL") ||
           (StartsWithText(provider, u"MSDASQL.") && AllDigits(provider.substr(8)));
}

} // namespace

ProviderRoute RouteProvider(const ConnectionString& connection,
                            const std::vector<std::u16string>& installedDrivers,
                            const std::vector<OdbcDataSource>& dataSources) {
    std::u16string provider = connection.Value(u"Provider").value_or(u"");
    if (SameText(provider, u"SQLite"))
        return {ProviderRoute::Kind::Sqlite, connection.Value(u"Data Source").value_or(u"")};
    OdbcString odbc;
    if (SameText(provider, u"SQLOLEDB") || SameText(provider, u"SQLOLEDB.1"))
        odbc = SqlServerString(connection, provider, installedDrivers);
    else if (SameText(provider, u"OraOLEDB.Oracle") || SameText(provider, u"OraOLEDB.Oracle.1"))
        odbc = OracleString(connection, provider, installedDrivers);
    // OLE DB itself takes a string without a provider as one for its ODBC provider.
    else if (provider.empty() || IsMsdasql(provider))
        odbc = MsdasqlString(connection);
    else
        throw Exception(u"Provider cannot be found: " + provider +
                        u" (known providers: SQLOLEDB.1, OraOLEDB.Oracle.1, MSDASQL, SQLite)");
    AddStreamingKeys(odbc, dataSources);
    return {ProviderRoute::Kind::Odbc, odbc.Text()};
}

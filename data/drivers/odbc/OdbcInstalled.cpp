#include <algorithm>
#include <utility>

#include "data/drivers/odbc/OdbcDriver.h"
#include "data/drivers/odbc/OdbcHandle.h"

namespace {

// Every entry of one of the driver manager's listings, SQLDrivers or SQLDataSources, which
// both give a name and a text about it: the driver's attributes, or the data source's driver.
template <typename List>
std::vector<std::pair<std::u16string, std::u16string>> Listing(List list, const char16_t* call) {
    OdbcHandle env = OdbcEnvironment();
    std::vector<std::pair<std::u16string, std::u16string>> entries;
    std::u16string name(256, u'\0');
    std::u16string about(1024, u'\0');
    auto text = [](const std::u16string& buffer, SQLSMALLINT length) {
        return buffer.substr(
            0, std::min<std::size_t>(std::max<SQLSMALLINT>(length, 0), buffer.size() - 1));
    };
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT nameLength = 0, aboutLength = 0;
        SQLRETURN rc =
            list(env.Get(), direction, Wide(name.data()), SQLSMALLINT(name.size()), &nameLength,
                 Wide(about.data()), SQLSMALLINT(about.size()), &aboutLength);
        if (rc == SQL_NO_DATA)
            break;
        env.Check(rc, call);
        entries.emplace_back(text(name, nameLength), text(about, aboutLength));
        direction = SQL_FETCH_NEXT;
    }
    return entries;
}

} // namespace

std::vector<std::u16string> InstalledOdbcDrivers() {
    std::vector<std::u16string> names;
    for (auto& [name, attributes] : Listing(SQLDriversW, u"SQLDrivers"))
        names.push_back(std::move(name));
    return names;
}

// Under Wine the program's ODBC calls reach unixODBC, whose data sources live in its odbc.ini
// files ($ODBCINI, ~/.odbc.ini, /etc/odbc.ini), not in the Wine registry that the profile
// calls (SQLGetPrivateProfileString) read; SQLDataSources asks the driver manager that
// connects, on Windows and under Wine alike.
std::vector<OdbcDataSource> InstalledOdbcDataSources() {
    std::vector<OdbcDataSource> sources;
    for (auto& [name, driver] : Listing(SQLDataSourcesW, u"SQLDataSources"))
        sources.push_back({std::move(name), std::move(driver)});
    return sources;
}

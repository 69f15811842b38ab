#include "data/ConnectionString.h"
#include "data/Driver.h"
#include "data/OdbcDriver.h"
#include "data/ProviderRouting.h"

std::unique_ptr<DriverConnection> ConnectDriver(std::u16string_view connectionString,
                                                int loginTimeoutSeconds) {
    ProviderRoute route =
        RouteProvider(ConnectionString::Parse(connectionString), InstalledOdbcDrivers());
    if (route.kind == ProviderRoute::Kind::Sqlite)
        return ConnectSqlite(route.target);
    return ConnectOdbc(route.target, loginTimeoutSeconds);
}

#include "data/ConnectionString.h"
#include "data/drivers/Driver.h"
#include "data/drivers/ProviderRouting.h"
#include "data/drivers/odbc/OdbcDriver.h"

std::unique_ptr<DriverConnection> ConnectDriver(std::u16string_view connectionString,
                                                int loginTimeoutSeconds) {
    ProviderRoute route = RouteProvider(ConnectionString::Parse(connectionString),
                                        InstalledOdbcDrivers(), InstalledOdbcDataSources());
    if (route.kind == ProviderRoute::Kind::Sqlite)
        return ConnectSqlite(route.target);
    return ConnectOdbc(route.target, loginTimeoutSeconds);
}

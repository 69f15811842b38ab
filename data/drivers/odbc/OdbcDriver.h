#pragma once

#include <string>
#include <vector>

// The ODBC driver's parts that others use besides ConnectOdbc (data/drivers/Driver.h).

// The names of the installed ODBC drivers, in the driver manager's order.
std::vector<std::u16string> InstalledOdbcDrivers();

// A data source the driver manager knows, with the driver it names: the driver's name as
// SQLDrivers lists it or, where unixODBC's odbc.ini names it so, the path of its library.
struct OdbcDataSource {
    std::u16string name;
    std::u16string driver;
};

// The data sources the driver manager knows, the user's and the system's, in its order.
std::vector<OdbcDataSource> InstalledOdbcDataSources();

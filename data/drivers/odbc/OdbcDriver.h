#pragma once

#include <string>
#include <vector>

// The ODBC driver's parts that others use besides ConnectOdbc (data/drivers/Driver.h).

// The names of the installed ODBC drivers, in the driver manager's order.
std::vector<std::u16string> InstalledOdbcDrivers();

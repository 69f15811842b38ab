#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/ConnectionString.h"
#include "data/drivers/odbc/OdbcDriver.h"

// Where an OLE DB connection string leads: the embedded engine on a file, or an ODBC driver.
struct ProviderRoute {
    enum class Kind { Sqlite, Odbc };
    Kind kind = Kind::Odbc;
    // The database file for the embedded engine; the complete ODBC connection string for ODBC.
    std::u16string target;
};

// Chooses the driver for the string's provider among the installed ODBC drivers (names as
// the driver manager lists them) and translates its keys to that driver's ODBC keys:
//   "SQLite"                        the embedded engine on "Data Source";
//   "SQLOLEDB", "SQLOLEDB.1"        the first installed of "ODBC Driver 18 for SQL Server",
//                                   "ODBC Driver 17 for SQL Server", "SQL Server Native Client
//                                   11.0", "SQL Server", "FreeTDS";
//   "OraOLEDB.Oracle", "...Oracle.1" the first installed driver whose name begins "Oracle";
//   "MSDASQL" (any version), or no provider at all: the ODBC string in "Extended Properties"
//                                   with the string's other keys added to it.
// Provider names and keys are compared without regard to case. Keys with no ODBC meaning are
// dropped, unknown ones passed on for the driver to judge. A key set again, under any of the
// names drivers read for one setting (UID, Username, User, LogonID; PWD, Password; DATABASE,
// DB), replaces the earlier one. Drivers that would read a whole result before returning its
// first row (SQLite ODBC, psqlODBC) are asked to stream it, unless the string already says
// how; the driver is the string's DRIVER, by name or by its library's path, or the one its
// DSN names among `dataSources`. An unknown provider, or one with no driver installed, raises
// Exception naming what is missing.
ProviderRoute RouteProvider(const ConnectionString& connection,
                            const std::vector<std::u16string>& installedDrivers,
                            const std::vector<OdbcDataSource>& dataSources = {});

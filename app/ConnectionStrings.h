#pragma once

#include <string>
#include <string_view>

// The database kinds in the order the kind list offers them.
enum TDBKind : int { dkOracle = 0, dkSQLServer = 1, dkSQLite = 2, dkOdbc = 3 };

// The OLE DB connection string for a kind (the kind list's item index; no selection is -1)
// and the texts as typed. Oracle takes no server and SQLite only the database file; any
// index but those three builds the SQL Server string. Values go in unchanged unless they would
// change the string's structure (a ";", blanks at either end, a leading quote or "="); those
// are quoted (ConnectionStringValue) so that the parser reads back exactly what was typed.
//
// ODBC goes through ODBC's own provider, MSDASQL: the server is a data source's name ("Data
// Source"), or, when it holds "=", a whole ODBC connection string ("Extended Properties").
// The database, user and password, each only when not empty, become "Initial Catalog",
// "User ID" and "Password", which the provider passes on as the driver's DATABASE, UID and
// PWD in place of any the connection string names:
//   Provider=MSDASQL;Data Source=Sales;User ID=ann
//   Provider=MSDASQL;Extended Properties="Driver={PostgreSQL Unicode};Server=db1";
//   Initial Catalog=sales
std::u16string BuildConnectionString(int kindIndex, std::u16string_view server,
                                     std::u16string_view database, std::u16string_view user,
                                     std::u16string_view password);

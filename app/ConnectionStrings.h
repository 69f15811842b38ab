#pragma once

#include <string>
#include <string_view>

// The database kinds in the order the kind list offers them.
enum TDBKind : int { dkOracle = 0, dkSQLServer = 1, dkSQLite = 2 };

// The OLE DB connection string for a kind (the kind list's item index; no selection is -1)
// and the texts as typed. Oracle takes no server and SQLite only the database file; any
// index but those two builds the SQL Server string. Values go in unchanged unless they would
// change the string's structure (a ";", blanks at either end, a leading quote or "="); those
// are quoted (ConnectionStringValue) so that the parser reads back exactly what was typed.
std::u16string BuildConnectionString(int kindIndex, std::u16string_view server,
                                     std::u16string_view database, std::u16string_view user,
                                     std::u16string_view password);

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class DriverConnection;

// What PostgreSQL needs beyond ODBC: its session's time zone, the instant a wall time stands
// for, and the partial indexes its ODBC driver does not tell apart. Each is a query through
// the connection.

// The session's time zone, as a result that has instants needs it: its offset from UTC
// (seconds east) when that is the same at every instant, else its name. Neither when the
// server could not say (a transaction already failed): then no wall time is trusted.
struct SessionZone {
    std::optional<int> fixedOffset;
    std::u16string name;
};
SessionZone PostgresSessionZone(DriverConnection& connection);

// Splits "2024-11-03 01:30:00 America/New_York", a wall time and the zone it was read in (as
// the reader spells an instant of a zone whose offset changes), into its two parts. False for
// any other text.
bool SplitZonedWallTime(std::u16string_view text, std::u16string_view& wall,
                        std::u16string_view& zone);

// The one instant a wall time stands for in its zone, as "2024-11-03 05:30:00.000000+00".
// Raises Exception when the zone skips that time or, where a clock was set back, has it twice:
// then no row can be found by it.
std::u16string ResolvePostgresWallTime(DriverConnection& connection, std::u16string_view wall,
                                       std::u16string_view zone);

// The number of the server process that runs the connection's statements; 0 when the server
// does not say.
long long PostgresBackendPid(DriverConnection& connection);

// Asks the server, through a connection of its own made from `odbcConnectionString`, to cancel
// what its process `pid` runs now; a process that runs nothing ignores it. Returns whether the
// server took the request.
bool CancelPostgresBackend(std::u16string_view odbcConnectionString, int loginTimeoutSeconds,
                           long long pid);

// The names of the table's indexes that cover only some rows (any schema when `schema` is
// empty), which psqlODBC's SQLStatistics does not tell by a filter condition.
std::vector<std::u16string> PostgresPartialIndexes(DriverConnection& connection,
                                                   std::u16string_view schema,
                                                   std::u16string_view table);

#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/CellValue.h"
#include "data/FieldType.h"

// What a driver reports about one result column.
struct ColumnInfo {
    std::u16string name; // as the database gives it; may be empty or repeat another's
    TFieldType type = TFieldType::Unknown;
    int size = 0;      // characters for text, bytes for byte columns; 0 when not known
    int precision = 0; // digits of an exact decimal; 0 when not given
    int scale = 0;
    bool readOnly = false;
    // Where the column's values come from; empty when computed or not known. Updating a
    // result later needs them.
    std::u16string baseTable;
    std::u16string baseColumn;
};

// The rows of one result, read forward one at a time. A driver fetches from the database as
// it is asked, never ahead of need beyond its own block size.
class DriverResult {
public:
    virtual ~DriverResult() = default;
    virtual const std::vector<ColumnInfo>& Columns() const = 0;
    // Reads the next row into `row` (one value per column). The values stay valid until the
    // next call. Returns false, leaving `row` alone, once the rows are exhausted.
    virtual bool Fetch(std::vector<CellValue>& row) = 0;
};

// An open connection to one database. Every failure is raised as `Exception` carrying the
// database's or driver's own message text.
class DriverConnection {
public:
    virtual ~DriverConnection() = default;
    // Runs the statement and returns its first result that has columns, or null when it
    // produced none (the statement has still run). Statements with parameter markers run
    // with the parameters unset, and the database decides what that means.
    virtual std::unique_ptr<DriverResult> OpenResult(std::u16string_view sql) = 0;
    // Runs the statement, keeps no rows, and returns the rows affected as the database
    // reports them (-1 when it reports none).
    virtual long long Execute(std::u16string_view sql) = 0;
};

// Opens the connection that an OLE DB connection string describes, routing its provider to
// a driver: "SQLite" to the embedded engine, "SQLOLEDB.1" to an installed SQL Server ODBC
// driver, "OraOLEDB.Oracle.1" to an installed Oracle ODBC driver, "MSDASQL" to the ODBC
// string in its extended properties. Gives up on a server that does not answer after
// `loginTimeoutSeconds`. An unknown provider or a missing driver is an error naming it.
std::unique_ptr<DriverConnection> ConnectDriver(std::u16string_view connectionString,
                                                int loginTimeoutSeconds);

// The embedded engine on a database file, created when missing.
std::unique_ptr<DriverConnection> ConnectSqlite(std::u16string_view path);

// An ODBC connection from a complete ODBC connection string, without prompting.
std::unique_ptr<DriverConnection> ConnectOdbc(std::u16string_view odbcConnectionString,
                                              int loginTimeoutSeconds);

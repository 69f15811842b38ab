#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/CellValue.h"
#include "data/FieldType.h"
#include "data/drivers/SqlDialect.h"

class RowCache;

// What a driver reports about one result column.
struct ColumnInfo {
    std::u16string name; // as the database gives it; may be empty or repeat another's
    TFieldType type = TFieldType::Unknown;
    int size = 0;      // characters for text, bytes for byte columns; 0 when not known
    int precision = 0; // digits of an exact decimal; 0 when not given
    int scale = 0;
    bool readOnly = false;
    // An integer column that holds any 64-bit value, whatever its kind (SQLite keeps every
    // integer in up to eight bytes, even in a column declared SMALLINT).
    bool holds64BitIntegers = false;
    // Where the column's values come from; empty when computed or not known. Updating a
    // result later needs them.
    std::u16string baseSchema; // the table's schema or owner, where the database has them
    std::u16string baseTable;
    std::u16string baseColumn;
    // A column the driver added to the result to identify its rows (SQLite's rowid when the
    // statement does not select a key). It is not shown; its base column names it.
    bool rowId = false;
};

// A value bound to a "?" marker of a statement, with the kind of the column it is meant for,
// so that a database with strict types is given the type it expects.
struct BoundValue {
    TFieldType type = TFieldType::Unknown;
    int size = 0;
    int precision = 0;
    int scale = 0;
    CellValue value; // its text and bytes must stay valid for the call

    // Wide text, as names are bound to catalog queries.
    static BoundValue OfText(std::u16string_view text) {
        BoundValue bound;
        bound.type = TFieldType::WideString;
        bound.value = CellValue::OfText(text);
        return bound;
    }
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
    // Reads up to `count` further rows onto the end of `cache`, whose columns are this result's,
    // and returns how many it read: fewer only once the rows are exhausted. A driver that can
    // writes each value straight from the database into the cache. A failure raises, and the
    // rows read before it stay.
    virtual std::size_t FetchInto(RowCache& cache, std::size_t count);
    // Whether the text that gave these rows holds further statements, which run once the rows
    // are read to the end (their errors then raised by that Fetch).
    virtual bool MoreStatementsFollow() const { return false; }
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

    // One statement with "?" markers, each bound to the value at the same position. Returns
    // the rows affected (-1 when the database reports none).
    virtual long long ExecuteBound(std::u16string_view sql,
                                   const std::vector<BoundValue>& values) = 0;
    // As ExecuteBound, for a statement that returns rows (INSERT ... RETURNING).
    virtual std::unique_ptr<DriverResult> OpenBound(std::u16string_view sql,
                                                    const std::vector<BoundValue>& values) = 0;

    // An explicit transaction; outside one every statement commits on its own. Nothing else may
    // be running on the connection (a result still being read) when one begins or ends.
    virtual void BeginTransaction() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;

    // The keys that identify a table's rows: its primary key first when it has one, then its
    // unique keys (unique indexes and constraints), each as its columns' names as the database
    // spells them. Empty when the table has none or is not known.
    virtual std::vector<std::vector<std::u16string>> UniqueKeys(std::u16string_view schema,
                                                                std::u16string_view table) = 0;
    virtual SqlDialect Dialect() = 0;

    // Stops the call that another thread is making on this connection at this moment: any call
    // above, or a Fetch of one of its results. May be called from any thread at any time while
    // the connection exists. The call then soon raises the database's own error, as any failure
    // does ("interrupted" from SQLite, "canceling statement due to user request" from
    // PostgreSQL), unless it was finishing anyway. The connection stays usable and the next
    // statement runs normally; a result whose Fetch was stopped stays failed, and results opened
    // before the stopped call are left as the database leaves them. A statement stopped inside
    // a transaction may end it (SQLite and PostgreSQL do); Rollback still succeeds, and is
    // never stopped itself.
    //
    // Only a call running at that moment is stopped. A cancel that finds none is dropped, never
    // kept for a later call: the connection cannot tell a cancel meant for a call about to
    // begin from one that came just after the last call ended, and keeping it would fail a
    // later statement that nobody cancelled. So a caller that hands a call to another thread,
    // and may cancel before that thread has begun it, repeats Cancel (each time it wakes while
    // waiting, say) until it sees that call return. Repeats are harmless: they reach the
    // database again only while what the first one reached has not stopped yet (a server can
    // miss a cancel that comes just as its statement starts), never the clean-up after it.
    virtual void Cancel() noexcept = 0;
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

#pragma once

#include <string>
#include <string_view>

#include "data/drivers/SqlDialect.h"

// What an ODBC driver says of its database (SQLGetInfo), by which the database is told apart.
struct OdbcDatabaseInfo {
    std::u16string dbmsName;        // SQL_DBMS_NAME: "PostgreSQL", "Microsoft SQL Server", ...
    std::u16string dbmsVersion;     // SQL_DBMS_VER: "3.35.0", "15.00.4153", ...
    std::u16string identifierQuote; // SQL_IDENTIFIER_QUOTE_CHAR; a blank when names are not quoted
    // SQL_QUOTED_IDENTIFIER_CASE is SQL_IC_MIXED: quoted names are stored as written but
    // compared without regard to case.
    bool quotedNamesMixedCase = false;
};

// Whether the database is PostgreSQL, whose values and catalog need queries of their own.
bool IsPostgres(std::u16string_view dbmsName);

// The dialect of the database. Two names that differ only in case are one name where the
// driver reports quoted names as SQL_IC_MIXED (FreeTDS does, whatever the server's collation),
// and always in SQLite, which never tells them apart although its ODBC driver, like psqlODBC,
// reports SQL_IC_SENSITIVE. An INSERT hands back its row through RETURNING on PostgreSQL and
// on SQLite from 3.35, through OUTPUT on SQL Server.
SqlDialect OdbcDialect(const OdbcDatabaseInfo& info);

// Whether a version text ("3.35.0", "03.35.0000") is at least major.minor, by the numbers its
// first two parts hold; a missing part counts as 0.
bool VersionAtLeast(std::u16string_view version, int major, int minor);

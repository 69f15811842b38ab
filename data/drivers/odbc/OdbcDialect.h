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

// The dialect of the database. Names ignore case where quoted names are SQL_IC_MIXED
// (FreeTDS says so whatever the server's collation) and always in SQLite, which never tells
// such names apart even though its ODBC driver reports quoted names as case-sensitive, as
// psqlODBC rightly does. An INSERT hands back its row through RETURNING on PostgreSQL and on
// SQLite from 3.35, through OUTPUT on SQL Server.
SqlDialect OdbcDialect(const OdbcDatabaseInfo& info);

// Whether a version text ("3.35.0", "03.35.0000") is at least major.minor, by the numbers its
// first two parts hold; a missing part counts as 0.
bool VersionAtLeast(std::u16string_view version, int major, int minor);

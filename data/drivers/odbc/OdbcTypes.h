#pragma once

#include <cstdint>

#include "data/FieldType.h"
#include "data/drivers/odbc/OdbcApi.h"

// How a column's values are read from the driver.
enum class OdbcReadAs : std::uint8_t {
    Integer,   // SQL_C_SBIGINT
    Bit,       // SQL_C_BIT
    Real,      // SQL_C_DOUBLE
    Decimal,   // text, normalised to the decimal's digits
    Date,      // ODBC's date structure
    Time,      // text, for the fraction of a second that ODBC's time structure lacks
    Timestamp, // ODBC's timestamp structure
    Text,      // UTF-16 text of any length
    Binary     // bytes of any length
};

struct OdbcColumnKind {
    TFieldType type = TFieldType::Unknown;
    OdbcReadAs readAs = OdbcReadAs::Text;
};

// The kind of a result column of the SQL type a driver reports, and how its values are read.
// A type we do not know is read as text, of unknown kind.
OdbcColumnKind ClassifyOdbcType(SQLSMALLINT sqlType);

// The SQL type a value meant for a column of the kind is bound as; wide text when the kind
// has no type of its own.
SQLSMALLINT OdbcSqlTypeOf(TFieldType type);

// A column's declared size as a result lays out by: 0 when the driver gives none or some
// giant size for values as long as the database allows (text, varchar(max), CLOB).
int OdbcDeclaredSize(SQLULEN size);

#pragma once

#include <string>
#include <string_view>

#include "data/drivers/Driver.h"
#include "data/drivers/odbc/OdbcApi.h"

class OdbcHandle;

// The column size and decimal digits that an exact decimal's digits ("-12.340") are bound
// with: room for both its own digits and those of its column (`precision`, `scale`; 0 when
// not known), so that the driver neither cuts the value nor refuses it.
struct OdbcDecimalSize {
    SQLULEN columnSize = 0;
    SQLSMALLINT digits = 0;
};
OdbcDecimalSize DecimalParameterSize(std::u16string_view digits, int precision, int scale);

// One value as SQLBindParameter takes it. Its buffers stay where they are until the statement
// has run, so a parameter must not move once bound.
struct OdbcParameter {
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN columnSize = 1;
    SQLSMALLINT digits = 0;
    SQLLEN indicator = 0;
    SQLBIGINT integer = 0;
    SQLDOUBLE real = 0;
    unsigned char bit = 0;
    SQL_DATE_STRUCT date{};
    SQL_TIME_STRUCT time{};
    SQL_TIMESTAMP_STRUCT timestamp{};
    std::u16string text;
    std::string bytes;

    // By the value's own kind, and by its column's type where the two agree. A date-time
    // with its stored spelling is bound so that "=" finds exactly what was read.
    void Set(const BoundValue& bound);
    // Text of the given SQL type.
    void SetText(std::u16string_view value, SQLSMALLINT type);
    // Binds the parameter to marker `number` (from 1) of `statement`.
    void Bind(const OdbcHandle& statement, SQLUSMALLINT number);

private:
    void SetDecimal(std::u16string_view digits, int precision, int scale);
    void SetDateTime(const TDateTime& value, SQLSMALLINT type);
    void SetStored(std::u16string_view stored);
    void SetNull(const BoundValue& bound);
    SQLPOINTER Buffer();
    SQLLEN BufferLength() const;
};

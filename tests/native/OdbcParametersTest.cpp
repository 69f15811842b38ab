#include <gtest/gtest.h>

#include "base/Text.h"
#include "data/drivers/odbc/OdbcParameters.h"
#include "tests/native/DriverValues.h"

namespace {

// A decimal is bound with room for its own digits and its column's, whichever is more.
TEST(OdbcParameters, DecimalsAreSizedForTheirDigitsAndTheirColumn) {
    struct Case {
        const char16_t* digits;
        int precision, scale;
        SQLULEN columnSize;
        SQLSMALLINT decimalDigits;
    } cases[] = {
        {u"12.5", 0, 0, 3, 1},
        {u"-0.001", 10, 2, 10, 3},
        {u"123", 2, 0, 3, 0},
        {u".5", 0, 0, 2, 1},
        {u"-7", 5, 3, 5, 3},
        {u"-123.4500", 5, 2, 7, 4},
        {u"99999999999999999999.1", 38, 10, 38, 10},
    };
    for (const auto& c : cases) {
        OdbcDecimalSize size = DecimalParameterSize(c.digits, c.precision, c.scale);
        EXPECT_EQ(size.columnSize, c.columnSize) << ToUtf8(c.digits);
        EXPECT_EQ(size.digits, c.decimalDigits) << ToUtf8(c.digits);
    }
}

TDateTime At(int year, int hour, int millisecond = 0) {
    TDateTime t;
    t.year = year;
    t.month = t.day = year ? 1 : 0;
    t.hour = hour;
    t.millisecond = millisecond;
    return t;
}

// Each value is bound by its own kind and, where they agree, its column's type; a date-time
// read with a spelling of its own is bound by that spelling, so that "=" finds it exactly.
TEST(OdbcParameters, ValuesAreBoundAsTheirColumnsTakeThem) {
    using F = TFieldType;
    struct Case {
        const char* what;
        BoundValue bound;
        SQLSMALLINT cType, sqlType;
        SQLULEN columnSize;
        SQLSMALLINT digits;
        SQLLEN indicator;
        const char* text; // what a text buffer holds
    } cases[] = {
        {"null integer", Bound(F::Integer, CellValue::Null()), SQL_C_SBIGINT, SQL_INTEGER, 10, 0,
         SQL_NULL_DATA, ""},
        {"null decimal", Bound(F::Decimal, CellValue::Null(), 12, 4), SQL_C_WCHAR, SQL_DECIMAL, 12,
         4, SQL_NULL_DATA, ""},
        {"null decimal of no precision", Bound(F::Decimal, CellValue::Null()), SQL_C_WCHAR,
         SQL_DECIMAL, 38, 0, SQL_NULL_DATA, ""},
        {"null blob", Bound(F::Blob, CellValue::Null()), SQL_C_BINARY, SQL_LONGVARBINARY, 1, 0,
         SQL_NULL_DATA, ""},
        {"null date-time", Bound(F::DateTime, CellValue::Null()), SQL_C_TYPE_TIMESTAMP,
         SQL_TYPE_TIMESTAMP, 23, 3, SQL_NULL_DATA, ""},
        {"integer to boolean", Bound(F::Boolean, CellValue::OfInteger(5)), SQL_C_BIT, SQL_BIT, 1, 0,
         0, ""},
        {"integer to smallint", Bound(F::Smallint, CellValue::OfInteger(5)), SQL_C_SBIGINT,
         SQL_SMALLINT, 10, 0, 0, ""},
        {"integer to text", Bound(F::WideString, CellValue::OfInteger(5)), SQL_C_SBIGINT,
         SQL_BIGINT, 19, 0, 0, ""},
        {"integer to decimal", Bound(F::Decimal, CellValue::OfInteger(7), 5, 2), SQL_C_WCHAR,
         SQL_DECIMAL, 5, 2, 2, "7"},
        {"real", Bound(F::Decimal, CellValue::OfReal(1.5)), SQL_C_DOUBLE, SQL_DOUBLE, 15, 0, 0, ""},
        {"decimal", Bound(F::Decimal, CellValue::OfDecimal(u"-123.4500"), 5, 2), SQL_C_WCHAR,
         SQL_DECIMAL, 7, 4, 18, "-123.4500"},
        {"text to 8-bit text", Bound(F::String, CellValue::OfText(u"abc")), SQL_C_WCHAR,
         SQL_VARCHAR, 3, 0, 6, "abc"},
        {"empty text to a date", Bound(F::Date, CellValue::OfText(u"")), SQL_C_WCHAR, SQL_WVARCHAR,
         1, 0, 0, ""},
        {"bytes", Bound(F::VarBytes, CellValue::OfBytes("\x01\x02")), SQL_C_BINARY, SQL_VARBINARY,
         2, 0, 2, ""},
        {"bytes to text", Bound(F::WideString, CellValue::OfBytes("")), SQL_C_BINARY, SQL_VARBINARY,
         1, 0, 0, ""},
        {"date", Bound(F::Date, CellValue::OfDateTime(At(2024, 0))), SQL_C_TYPE_DATE, SQL_TYPE_DATE,
         10, 0, 0, ""},
        {"time to the second", Bound(F::Time, CellValue::OfDateTime(At(0, 10))), SQL_C_TYPE_TIME,
         SQL_TYPE_TIME, 8, 0, 0, ""},
        {"time with milliseconds", Bound(F::Time, CellValue::OfDateTime(At(0, 10, 250))),
         SQL_C_WCHAR, SQL_TYPE_TIME, 12, 3, 24, "10:00:00.250"},
        {"a time of no column kind", Bound(F::Variant, CellValue::OfDateTime(At(0, 10))),
         SQL_C_TYPE_TIME, SQL_TYPE_TIME, 8, 0, 0, ""},
        {"date-time", Bound(F::Variant, CellValue::OfDateTime(At(2024, 10))), SQL_C_TYPE_TIMESTAMP,
         SQL_TYPE_TIMESTAMP, 23, 3, 0, ""},
        {"stored microseconds",
         Bound(F::DateTime, CellValue::OfDateTime(At(2024, 10), u"2024-01-01 10:00:00.123456")),
         SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 26, 6, 0, ""},
        {"stored time", Bound(F::Time, CellValue::OfDateTime(At(0, 10), u"10:00:00.1234567")),
         SQL_C_WCHAR, SQL_TYPE_TIME, 16, 7, 32, "10:00:00.1234567"},
        {"stored offset",
         Bound(F::DateTime, CellValue::OfDateTime(At(2024, 10), u"2024-01-01 10:00:00+02")),
         SQL_C_WCHAR, SQL_WVARCHAR, 22, 0, 44, "2024-01-01 10:00:00+02"},
    };
    for (const auto& c : cases) {
        OdbcParameter p;
        p.Set(c.bound);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(p.cType, c.cType);
        EXPECT_EQ(p.sqlType, c.sqlType);
        EXPECT_EQ(p.columnSize, c.columnSize);
        EXPECT_EQ(p.digits, c.digits);
        EXPECT_EQ(p.indicator, c.indicator);
        EXPECT_EQ(ToUtf8(p.text), c.text);
    }
}

} // namespace

#include <gtest/gtest.h>

#include "data/drivers/odbc/OdbcTypes.h"

namespace {

TEST(OdbcTypes, EverySqlTypeHasAKindAndAWayToBeRead) {
    using R = OdbcReadAs;
    using F = TFieldType;
    struct Case {
        SQLSMALLINT sqlType;
        TFieldType type;
        OdbcReadAs readAs;
    } cases[] = {
        {SQL_CHAR, F::String, R::Text},
        {SQL_VARCHAR, F::String, R::Text},
        {SQL_WCHAR, F::WideString, R::Text},
        {SQL_WVARCHAR, F::WideString, R::Text},
        {SQL_LONGVARCHAR, F::Memo, R::Text},
        {SQL_WLONGVARCHAR, F::WideMemo, R::Text},
        {SQL_TINYINT, F::Smallint, R::Integer},
        {SQL_SMALLINT, F::Smallint, R::Integer},
        {SQL_INTEGER, F::Integer, R::Integer},
        {SQL_BIGINT, F::Largeint, R::Integer},
        {SQL_BIT, F::Boolean, R::Bit},
        {SQL_REAL, F::Float, R::Real},
        {SQL_FLOAT, F::Float, R::Real},
        {SQL_DOUBLE, F::Float, R::Real},
        {SQL_DECIMAL, F::Decimal, R::Decimal},
        {SQL_NUMERIC, F::Decimal, R::Decimal},
        {SQL_TYPE_DATE, F::Date, R::Date},
        {SQL_DATE, F::Date, R::Date},
        {SQL_TYPE_TIME, F::Time, R::Time},
        {SQL_TIME, F::Time, R::Time},
        {-154, F::Time, R::Time}, // SQL Server's time(n)
        {SQL_TYPE_TIMESTAMP, F::DateTime, R::Timestamp},
        {SQL_TIMESTAMP, F::DateTime, R::Timestamp},
        {SQL_BINARY, F::Bytes, R::Binary},
        {SQL_VARBINARY, F::VarBytes, R::Binary},
        {SQL_LONGVARBINARY, F::Blob, R::Binary},
        {SQL_GUID, F::Guid, R::Text},
        {-155, F::Unknown, R::Text}, // SQL Server's datetimeoffset: shown as its text
        {SQL_INTERVAL_DAY, F::Unknown, R::Text},
    };
    for (const auto& c : cases) {
        OdbcColumnKind kind = ClassifyOdbcType(c.sqlType);
        EXPECT_EQ(kind.type, c.type) << c.sqlType;
        EXPECT_EQ(kind.readAs, c.readAs) << c.sqlType;
    }
}

} // namespace

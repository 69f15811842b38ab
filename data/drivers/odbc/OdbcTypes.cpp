#include "data/drivers/odbc/OdbcTypes.h"

namespace {

// SQL Server's own types beyond ODBC's (its driver headers are not available everywhere).
constexpr SQLSMALLINT kSqlServerTime = -154;

} // namespace

OdbcColumnKind ClassifyOdbcType(SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
        return {TFieldType::String, OdbcReadAs::Text};
    case SQL_WCHAR:
    case SQL_WVARCHAR:
        return {TFieldType::WideString, OdbcReadAs::Text};
    case SQL_LONGVARCHAR:
        return {TFieldType::Memo, OdbcReadAs::Text};
    case SQL_WLONGVARCHAR:
        return {TFieldType::WideMemo, OdbcReadAs::Text};
    case SQL_SMALLINT:
    case SQL_TINYINT:
        return {TFieldType::Smallint, OdbcReadAs::Integer};
    case SQL_INTEGER:
        return {TFieldType::Integer, OdbcReadAs::Integer};
    case SQL_BIGINT:
        return {TFieldType::Largeint, OdbcReadAs::Integer};
    case SQL_BIT:
        return {TFieldType::Boolean, OdbcReadAs::Bit};
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return {TFieldType::Float, OdbcReadAs::Real};
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return {TFieldType::Decimal, OdbcReadAs::Decimal};
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return {TFieldType::Date, OdbcReadAs::Date};
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case kSqlServerTime:
        return {TFieldType::Time, OdbcReadAs::Time};
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return {TFieldType::DateTime, OdbcReadAs::Timestamp};
    case SQL_BINARY:
        return {TFieldType::Bytes, OdbcReadAs::Binary};
    case SQL_VARBINARY:
        return {TFieldType::VarBytes, OdbcReadAs::Binary};
    case SQL_LONGVARBINARY:
        return {TFieldType::Blob, OdbcReadAs::Binary};
    case SQL_GUID:
        return {TFieldType::Guid, OdbcReadAs::Text};
    default:
        return {TFieldType::Unknown, OdbcReadAs::Text};
    }
}

SQLSMALLINT OdbcSqlTypeOf(TFieldType type) {
    switch (type) {
    case TFieldType::Smallint:
        return SQL_SMALLINT;
    case TFieldType::Integer:
        return SQL_INTEGER;
    case TFieldType::Largeint:
        return SQL_BIGINT;
    case TFieldType::Boolean:
        return SQL_BIT;
    case TFieldType::Float:
        return SQL_DOUBLE;
    case TFieldType::Decimal:
        return SQL_DECIMAL;
    case TFieldType::Date:
        return SQL_TYPE_DATE;
    case TFieldType::Time:
        return SQL_TYPE_TIME;
    case TFieldType::DateTime:
        return SQL_TYPE_TIMESTAMP;
    case TFieldType::String:
        return SQL_VARCHAR;
    case TFieldType::Memo:
        return SQL_LONGVARCHAR;
    case TFieldType::WideMemo:
        return SQL_WLONGVARCHAR;
    case TFieldType::Bytes:
    case TFieldType::VarBytes:
        return SQL_VARBINARY;
    case TFieldType::Blob:
        return SQL_LONGVARBINARY;
    case TFieldType::Guid:
        return SQL_GUID;
    case TFieldType::WideString:
    case TFieldType::Unknown:
    case TFieldType::Variant:
        break;
    }
    return SQL_WVARCHAR;
}

int OdbcDeclaredSize(SQLULEN size) {
    return size == 0 || size > (SQLULEN(1) << 30) ? 0 : int(size);
}

#include "data/drivers/odbc/OdbcParameters.h"

#include <algorithm>

#include "base/Text.h"
#include "data/DateTimeText.h"
#include "data/IsoDateTime.h"
#include "data/drivers/odbc/OdbcHandle.h"
#include "data/drivers/odbc/OdbcTypes.h"

namespace {

bool IsTextField(TFieldType type) {
    return type == TFieldType::String || type == TFieldType::WideString ||
           type == TFieldType::Memo || type == TFieldType::WideMemo || type == TFieldType::Guid ||
           type == TFieldType::Unknown || type == TFieldType::Variant;
}

} // namespace

OdbcDecimalSize DecimalParameterSize(std::u16string_view digits, int precision, int scale) {
    std::size_t point = digits.find(u'.');
    std::u16string_view whole = digits.substr(0, point);
    if (!whole.empty() && whole[0] == u'-')
        whole.remove_prefix(1);
    int fraction = point == std::u16string_view::npos ? 0 : int(digits.size() - point - 1);
    int wholeDigits = std::max<int>(int(whole.size()), 1);
    OdbcDecimalSize size;
    size.digits = SQLSMALLINT(std::max(scale, fraction));
    size.columnSize = SQLULEN(std::max(precision, wholeDigits + size.digits));
    return size;
}

void OdbcParameter::SetText(std::u16string_view value, SQLSMALLINT type) {
    cType = SQL_C_WCHAR;
    sqlType = type;
    text.assign(value);
    indicator = SQLLEN(text.size() * sizeof(char16_t));
    // Drivers refuse a character column of size 0.
    columnSize = std::max<SQLULEN>(text.size(), 1);
}

// An exact decimal's digits as text.
void OdbcParameter::SetDecimal(std::u16string_view value, int precision, int scale) {
    SetText(value, SQL_DECIMAL);
    OdbcDecimalSize size = DecimalParameterSize(value, precision, scale);
    columnSize = size.columnSize;
    digits = size.digits;
}

void OdbcParameter::SetDateTime(const TDateTime& value, SQLSMALLINT type) {
    sqlType = type;
    indicator = 0;
    if (type == SQL_TYPE_DATE) {
        cType = SQL_C_TYPE_DATE;
        date = {SQLSMALLINT(value.year), SQLUSMALLINT(value.month), SQLUSMALLINT(value.day)};
        columnSize = 10;
    } else if (type == SQL_TYPE_TIME && value.millisecond == 0) {
        cType = SQL_C_TYPE_TIME;
        time = {SQLUSMALLINT(value.hour), SQLUSMALLINT(value.minute), SQLUSMALLINT(value.second)};
        columnSize = 8;
    } else if (type == SQL_TYPE_TIME) {
        // ODBC's time structure has no fraction of a second; its text does.
        SetText(IsoDateTimeText(value, IsoParts::Time), SQL_TYPE_TIME);
        columnSize = 12;
        digits = 3;
    } else {
        cType = SQL_C_TYPE_TIMESTAMP;
        timestamp = {SQLSMALLINT(value.year),
                     SQLUSMALLINT(value.month),
                     SQLUSMALLINT(value.day),
                     SQLUSMALLINT(value.hour),
                     SQLUSMALLINT(value.minute),
                     SQLUSMALLINT(value.second),
                     SQLUINTEGER(value.millisecond) * 1000000u};
        columnSize = 23;
        digits = 3;
    }
}

// A value read with its stored spelling.
void OdbcParameter::SetStored(std::u16string_view stored) {
    DateTimeFields f;
    TDateTime unused;
    bool plain = ParseDateTimeFields(stored, f) && FieldsToDateTime(f, unused) && !f.hasOffset;
    if (plain && f.hasDate && f.hasTime) {
        cType = SQL_C_TYPE_TIMESTAMP;
        sqlType = SQL_TYPE_TIMESTAMP;
        indicator = 0;
        timestamp = {SQLSMALLINT(f.year),      SQLUSMALLINT(f.month),  SQLUSMALLINT(f.day),
                     SQLUSMALLINT(f.hour),     SQLUSMALLINT(f.minute), SQLUSMALLINT(f.second),
                     SQLUINTEGER(f.nanosecond)};
        digits = SQLSMALLINT(std::max(3, f.fractionDigits));
        columnSize = SQLULEN(20 + digits);
    } else if (plain && !f.hasDate) {
        // ODBC's time structure has no fraction of a second; its text does.
        SetText(stored, SQL_TYPE_TIME);
        digits = SQLSMALLINT(f.fractionDigits);
    } else {
        // ODBC's structures have no offset: only the database's reading of the text keeps
        // it. psqlODBC sends such text untyped, for the column to take it as its own type,
        // where a timestamp's type would first drop the offset.
        SetText(stored, SQL_WVARCHAR);
    }
}

// NULL of the column's own type, with the C type that type is naturally read as.
void OdbcParameter::SetNull(const BoundValue& bound) {
    sqlType = OdbcSqlTypeOf(bound.type);
    indicator = SQL_NULL_DATA;
    switch (sqlType) {
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        cType = SQL_C_SBIGINT;
        columnSize = sqlType == SQL_BIGINT ? 19 : 10;
        break;
    case SQL_BIT:
        cType = SQL_C_BIT;
        break;
    case SQL_DOUBLE:
        cType = SQL_C_DOUBLE;
        columnSize = 15;
        break;
    case SQL_DECIMAL:
        columnSize = SQLULEN(bound.precision > 0 ? bound.precision : 38);
        digits = SQLSMALLINT(std::min<int>(bound.scale, int(columnSize)));
        break;
    case SQL_TYPE_DATE:
        cType = SQL_C_TYPE_DATE;
        columnSize = 10;
        break;
    case SQL_TYPE_TIME:
        cType = SQL_C_TYPE_TIME;
        columnSize = 8;
        break;
    case SQL_TYPE_TIMESTAMP:
        cType = SQL_C_TYPE_TIMESTAMP;
        columnSize = 23;
        digits = 3;
        break;
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        cType = SQL_C_BINARY;
        columnSize = std::max(bound.size, 1);
        break;
    case SQL_GUID:
        columnSize = 36;
        break;
    default:
        columnSize = std::max(bound.size, 1);
        break;
    }
}

void OdbcParameter::Set(const BoundValue& bound) {
    const CellValue& value = bound.value;
    switch (value.tag) {
    case CellValue::Tag::Null:
        SetNull(bound);
        break;
    case CellValue::Tag::Integer:
        if (bound.type == TFieldType::Decimal) {
            SetDecimal(IntToStr(value.integer), bound.precision, bound.scale);
        } else if (bound.type == TFieldType::Boolean) {
            cType = SQL_C_BIT;
            sqlType = SQL_BIT;
            bit = value.integer ? 1 : 0;
        } else {
            cType = SQL_C_SBIGINT;
            sqlType = IsIntegerField(bound.type) ? OdbcSqlTypeOf(bound.type) : SQL_BIGINT;
            integer = value.integer;
            columnSize = sqlType == SQL_BIGINT ? 19 : 10;
        }
        break;
    case CellValue::Tag::Real:
        cType = SQL_C_DOUBLE;
        sqlType = SQL_DOUBLE;
        real = value.real;
        columnSize = 15;
        break;
    case CellValue::Tag::Decimal:
        SetDecimal(value.text, bound.precision, bound.scale);
        break;
    case CellValue::Tag::Text:
        SetText(value.text, IsTextField(bound.type) ? OdbcSqlTypeOf(bound.type) : SQL_WVARCHAR);
        break;
    case CellValue::Tag::Utf8Text:
        SetText(FromUtf8(value.utf8),
                IsTextField(bound.type) ? OdbcSqlTypeOf(bound.type) : SQL_WVARCHAR);
        break;
    case CellValue::Tag::Bytes:
        cType = SQL_C_BINARY;
        sqlType = bound.type == TFieldType::Bytes || bound.type == TFieldType::VarBytes ||
                          bound.type == TFieldType::Blob
                      ? OdbcSqlTypeOf(bound.type)
                      : SQL_VARBINARY;
        bytes.assign(value.bytes);
        indicator = SQLLEN(bytes.size());
        columnSize = std::max<SQLULEN>(bytes.size(), 1);
        break;
    case CellValue::Tag::DateTime:
        if (!value.text.empty())
            SetStored(value.text);
        else if (bound.type == TFieldType::Date || bound.type == TFieldType::Time ||
                 bound.type == TFieldType::DateTime)
            SetDateTime(value.dateTime, OdbcSqlTypeOf(bound.type));
        else
            SetDateTime(value.dateTime,
                        value.dateTime.year == 0 ? SQL_TYPE_TIME : SQL_TYPE_TIMESTAMP);
        break;
    }
}

void OdbcParameter::Bind(const OdbcHandle& statement, SQLUSMALLINT number) {
    statement.Check(SQLBindParameter(statement.Get(), number, SQL_PARAM_INPUT, cType, sqlType,
                                     columnSize, digits, Buffer(), BufferLength(), &indicator),
                    u"SQLBindParameter");
}

SQLPOINTER OdbcParameter::Buffer() {
    switch (cType) {
    case SQL_C_SBIGINT:
        return &integer;
    case SQL_C_DOUBLE:
        return &real;
    case SQL_C_BIT:
        return &bit;
    case SQL_C_TYPE_DATE:
        return &date;
    case SQL_C_TYPE_TIME:
        return &time;
    case SQL_C_TYPE_TIMESTAMP:
        return &timestamp;
    case SQL_C_BINARY:
        return bytes.data();
    default:
        return text.data();
    }
}

SQLLEN OdbcParameter::BufferLength() const {
    return cType == SQL_C_BINARY  ? SQLLEN(bytes.size())
           : cType == SQL_C_WCHAR ? SQLLEN(text.size() * sizeof(char16_t))
                                  : 0;
}

#include "data/OdbcDriver.h"

#ifdef _WIN32
// The Windows ODBC headers are written on top of the Windows base types.
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/DateTimeText.h"
#include "data/DecimalText.h"
#include "data/Driver.h"
#include "data/IsoDateTime.h"

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide text must be UTF-16");

namespace {

// SQL Server's own types beyond ODBC's (its driver headers are not available everywhere).
constexpr SQLSMALLINT kSqlServerTime = -154;

SQLWCHAR* Wide(char16_t* text) {
    return reinterpret_cast<SQLWCHAR*>(text);
}

// Every diagnostic record of the handle, one message a line, as the driver wrote them.
std::u16string Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::vector<std::u16string> messages;
    std::u16string message;
    for (SQLSMALLINT record = 1; record < 1000; ++record) {
        SQLWCHAR state[6];
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        message.assign(512, u'\0');
        SQLRETURN rc = SQLGetDiagRecW(type, handle, record, state, &native, Wide(message.data()),
                                      SQLSMALLINT(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= SQLSMALLINT(message.size())) {
            message.assign(std::size_t(length) + 1, u'\0');
            rc = SQLGetDiagRecW(type, handle, record, state, &native, Wide(message.data()),
                                SQLSMALLINT(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        message.resize(std::min<std::size_t>(std::max<SQLSMALLINT>(length, 0), message.size()));
        while (!message.empty() && message.back() == u'\0')
            message.pop_back();
        // Some drivers (FreeTDS) repeat a record word for word; once says it.
        if (!message.empty() &&
            std::find(messages.begin(), messages.end(), message) == messages.end())
            messages.push_back(message);
    }
    std::u16string text;
    for (const auto& line : messages) {
        if (!text.empty())
            text += u"\r\n";
        text += line;
    }
    return text;
}

[[noreturn]] void RaiseDiagnostics(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc,
                                   const char16_t* call) {
    std::u16string text = handle ? Diagnostics(type, handle) : std::u16string();
    if (text.empty())
        text = u"ODBC " + std::u16string(call) + u" failed (return code " + IntToStr(rc) +
               u") without a diagnostic message";
    throw Exception(std::move(text));
}

// One ODBC handle, freed with its owner.
class Handle {
public:
    Handle(SQLSMALLINT type, SQLHANDLE parent, SQLSMALLINT parentType) : type_(type) {
        SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
        if (!SQL_SUCCEEDED(rc)) {
            handle_ = nullptr;
            RaiseDiagnostics(parentType, parent, rc, u"SQLAllocHandle");
        }
    }
    Handle(Handle&& other) noexcept
        : type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        std::swap(type_, other.type_);
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~Handle() {
        if (handle_)
            SQLFreeHandle(type_, handle_);
    }

    SQLHANDLE Get() const { return handle_; }
    void Check(SQLRETURN rc, const char16_t* call) const {
        if (!SQL_SUCCEEDED(rc))
            Raise(rc, call);
    }
    [[noreturn]] void Raise(SQLRETURN rc, const char16_t* call) const {
        RaiseDiagnostics(type_, handle_, rc, call);
    }

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = nullptr;
};

Handle Environment() {
    Handle env(SQL_HANDLE_ENV, nullptr, 0);
    env.Check(SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION,
                            reinterpret_cast<SQLPOINTER>(std::intptr_t(SQL_OV_ODBC3)), 0),
              u"SQLSetEnvAttr");
    return env;
}

SQLRETURN ExecDirect(const Handle& statement, std::u16string_view sql) {
    if (sql.size() > std::size_t(INT_MAX))
        throw Exception(u"The statement is too long");
    std::u16string text(sql); // the API takes it as writable
    return SQLExecDirectW(statement.Get(), Wide(text.data()), SQLINTEGER(text.size()));
}

// How a column's values are read.
enum class ReadAs : std::uint8_t {
    Integer,
    Bit,
    Real,
    Decimal,
    Date,
    Time,
    Timestamp,
    Text,
    Binary
};

ReadAs Classify(SQLSMALLINT sqlType, ColumnInfo& column) {
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
        column.type = TFieldType::String;
        return ReadAs::Text;
    case SQL_WCHAR:
    case SQL_WVARCHAR:
        column.type = TFieldType::WideString;
        return ReadAs::Text;
    case SQL_LONGVARCHAR:
        column.type = TFieldType::Memo;
        return ReadAs::Text;
    case SQL_WLONGVARCHAR:
        column.type = TFieldType::WideMemo;
        return ReadAs::Text;
    case SQL_SMALLINT:
    case SQL_TINYINT:
        column.type = TFieldType::Smallint;
        return ReadAs::Integer;
    case SQL_INTEGER:
        column.type = TFieldType::Integer;
        return ReadAs::Integer;
    case SQL_BIGINT:
        column.type = TFieldType::Largeint;
        return ReadAs::Integer;
    case SQL_BIT:
        column.type = TFieldType::Boolean;
        return ReadAs::Bit;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        column.type = TFieldType::Float;
        return ReadAs::Real;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        column.type = TFieldType::Decimal;
        return ReadAs::Decimal;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        column.type = TFieldType::Date;
        return ReadAs::Date;
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case kSqlServerTime:
        column.type = TFieldType::Time;
        return ReadAs::Time;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        column.type = TFieldType::DateTime;
        return ReadAs::Timestamp;
    case SQL_BINARY:
        column.type = TFieldType::Bytes;
        return ReadAs::Binary;
    case SQL_VARBINARY:
        column.type = TFieldType::VarBytes;
        return ReadAs::Binary;
    case SQL_LONGVARBINARY:
        column.type = TFieldType::Blob;
        return ReadAs::Binary;
    case SQL_GUID:
        column.type = TFieldType::Guid;
        return ReadAs::Text;
    default:
        column.type = TFieldType::Unknown;
        return ReadAs::Text;
    }
}

// A column whose values may be as long as the database allows (text, varchar(max), CLOB) is
// reported with some giant size or none; either way it has no size to lay out by.
int DeclaredSize(SQLULEN size) {
    return size == 0 || size > (SQLULEN(1) << 30) ? 0 : int(size);
}

std::u16string TextAttribute(const Handle& statement, SQLUSMALLINT column, SQLUSMALLINT field) {
    std::u16string value(128, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        SQLSMALLINT bytes = 0;
        SQLLEN numeric = 0;
        SQLRETURN rc =
            SQLColAttributeW(statement.Get(), column, field, value.data(),
                             SQLSMALLINT(value.size() * sizeof(char16_t)), &bytes, &numeric);
        // Not every driver knows every attribute; a missing one is just not known.
        if (!SQL_SUCCEEDED(rc) || bytes < 0)
            return {};
        std::size_t length = std::size_t(bytes) / sizeof(char16_t);
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.assign(length + 1, u'\0');
    }
    return {};
}

// The session's time zone, as a result that has instants needs it: its offset from UTC
// (seconds east) when that is the same at every instant, else its name. Neither when the
// server could not say.
struct SessionZone {
    std::optional<int> fixedOffset;
    std::u16string name;
};

// What a result needs to know of its connection to read every value exactly.
struct ResultReading {
    bool postgres = false;
    std::function<SessionZone()> sessionZone;
};

// "2024-11-03 01:30:00 America/New_York": a wall time and the zone it was read in, for a zone
// whose offset changes.
bool SplitZonedWallTime(std::u16string_view text, std::u16string_view& wall,
                        std::u16string_view& zone) {
    std::size_t blank = text.rfind(u' ');
    DateTimeFields fields;
    if (blank == std::u16string_view::npos || blank + 1 == text.size() ||
        !ParseDateTimeFields(text.substr(0, blank), fields) || !fields.hasTime || fields.hasOffset)
        return false;
    wall = text.substr(0, blank);
    zone = text.substr(blank + 1);
    return true;
}

class OdbcResult : public DriverResult {
public:
    OdbcResult(Handle statement, SQLSMALLINT columnCount, const ResultReading& reading)
        : statement_(std::move(statement)) {
        columns_.resize(columnCount);
        slots_.resize(columnCount);
        for (SQLUSMALLINT i = 0; i < SQLUSMALLINT(columnCount); ++i)
            Describe(i, reading);
        if (std::any_of(slots_.begin(), slots_.end(), [](const Slot& s) { return s.zoned; }))
            zone_ = reading.sessionZone();
    }

    const std::vector<ColumnInfo>& Columns() const override { return columns_; }

    bool Fetch(std::vector<CellValue>& row) override {
        if (done_)
            return false;
        SQLRETURN rc = SQLFetch(statement_.Get());
        if (rc == SQL_NO_DATA) {
            done_ = true;
            FinishStatement();
            return false;
        }
        if (!SQL_SUCCEEDED(rc)) {
            done_ = true;
            statement_.Raise(rc, u"SQLFetch");
        }
        // SQLGetData may only go forward through the columns.
        row.resize(columns_.size());
        for (std::size_t i = 0; i < columns_.size(); ++i)
            row[i] = Read(SQLUSMALLINT(i + 1), slots_[i]);
        return true;
    }

private:
    struct Slot {
        ReadAs readAs = ReadAs::Text;
        // Values of an instant, shown in the session's time zone without its offset.
        bool zoned = false;
        // psqlODBC turns a date it cannot take apart ('infinity', a year beyond 9999) into some
        // other date. Bound as a number, the same value is the number the server's own text
        // begins with: infinite or the year.
        bool leadBound = false;
        SQLDOUBLE lead = 0;
        SQLLEN leadIndicator = 0;
        // Text and bytes of the current row; kept from row to row to spare reallocation.
        std::u16string text;
        std::u16string decimal;
        std::string bytes;
    };

    void Describe(SQLUSMALLINT index, const ResultReading& reading) {
        SQLUSMALLINT number = index + 1;
        ColumnInfo& column = columns_[index];
        std::u16string name(64, u'\0');
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        for (int attempt = 0; attempt < 2; ++attempt) {
            statement_.Check(SQLDescribeColW(statement_.Get(), number, Wide(name.data()),
                                             SQLSMALLINT(name.size()), &nameLength, &sqlType, &size,
                                             &digits, &nullable),
                             u"SQLDescribeCol");
            if (nameLength < SQLSMALLINT(name.size()))
                break;
            name.assign(std::size_t(nameLength) + 1, u'\0');
        }
        name.resize(std::min<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0), name.size()));
        column.name = std::move(name);
        Slot& slot = slots_[index];
        slot.readAs = Classify(sqlType, column);
        if (reading.postgres && (slot.readAs == ReadAs::Date || slot.readAs == ReadAs::Timestamp)) {
            slot.zoned = TextAttribute(statement_, number, SQL_DESC_TYPE_NAME) == u"timestamptz";
            slot.leadBound =
                SQL_SUCCEEDED(SQLBindCol(statement_.Get(), number, SQL_C_DOUBLE, &slot.lead,
                                         sizeof slot.lead, &slot.leadIndicator));
        }
        switch (column.type) {
        case TFieldType::Decimal:
            column.precision = DeclaredSize(size);
            column.scale = std::max<int>(digits, 0);
            break;
        case TFieldType::String:
        case TFieldType::WideString:
        case TFieldType::Memo:
        case TFieldType::WideMemo:
        case TFieldType::Bytes:
        case TFieldType::VarBytes:
        case TFieldType::Blob:
        case TFieldType::Unknown:
            column.size = DeclaredSize(size);
            break;
        default:
            break;
        }
        SQLLEN updatable = SQL_ATTR_READWRITE_UNKNOWN;
        if (SQL_SUCCEEDED(SQLColAttributeW(statement_.Get(), number, SQL_DESC_UPDATABLE, nullptr, 0,
                                           nullptr, &updatable)))
            column.readOnly = updatable == SQL_ATTR_READONLY;
        column.baseTable = TextAttribute(statement_, number, SQL_DESC_BASE_TABLE_NAME);
        // Some drivers give a computed column's own name as its base column; without a table
        // it is no place the value can be written back to.
        if (!column.baseTable.empty()) {
            column.baseColumn = TextAttribute(statement_, number, SQL_DESC_BASE_COLUMN_NAME);
            column.baseSchema = TextAttribute(statement_, number, SQL_DESC_SCHEMA_NAME);
        }
    }

    template <typename T> bool ReadFixed(SQLUSMALLINT number, SQLSMALLINT cType, T& value) {
        SQLLEN indicator = 0;
        statement_.Check(
            SQLGetData(statement_.Get(), number, cType, &value, sizeof value, &indicator),
            u"SQLGetData");
        return indicator != SQL_NULL_DATA;
    }

    // Reads a value of any length in pieces into `buffer`, which keeps its size for the next
    // rows. Returns the units read, or -1 for NULL.
    template <typename Unit>
    std::ptrdiff_t ReadLong(SQLUSMALLINT number, SQLSMALLINT cType,
                            std::basic_string<Unit>& buffer) {
        // Text comes with a terminating zero in each piece; bytes do not.
        const std::size_t terminator = cType == SQL_C_WCHAR ? 1 : 0;
        if (buffer.size() < 256)
            buffer.resize(256);
        std::size_t have = 0;
        for (;;) {
            std::size_t room = buffer.size() - have;
            SQLLEN indicator = 0;
            SQLRETURN rc = SQLGetData(statement_.Get(), number, cType, buffer.data() + have,
                                      SQLLEN(room * sizeof(Unit)), &indicator);
            if (rc == SQL_NO_DATA)
                return std::ptrdiff_t(have); // nothing beyond what came before
            statement_.Check(rc, u"SQLGetData");
            if (indicator == SQL_NULL_DATA)
                return -1;
            std::size_t fits = room - terminator;
            bool truncated =
                rc == SQL_SUCCESS_WITH_INFO &&
                (indicator == SQL_NO_TOTAL || std::size_t(indicator) > fits * sizeof(Unit));
            if (!truncated) {
                have += std::min(std::size_t(std::max<SQLLEN>(indicator, 0)) / sizeof(Unit), fits);
                return std::ptrdiff_t(have);
            }
            have += fits;
            std::size_t rest = indicator == SQL_NO_TOTAL
                                   ? buffer.size()
                                   : std::size_t(indicator) / sizeof(Unit) - fits;
            buffer.resize(have + std::max(rest, buffer.size() / 2) + terminator);
        }
    }

    CellValue Read(SQLUSMALLINT number, Slot& slot) {
        switch (slot.readAs) {
        case ReadAs::Integer: {
            SQLBIGINT value = 0;
            return ReadFixed(number, SQL_C_SBIGINT, value) ? CellValue::OfInteger(value)
                                                           : CellValue::Null();
        }
        case ReadAs::Bit: {
            unsigned char value = 0;
            return ReadFixed(number, SQL_C_BIT, value) ? CellValue::OfInteger(value ? 1 : 0)
                                                       : CellValue::Null();
        }
        case ReadAs::Real: {
            SQLDOUBLE value = 0;
            return ReadFixed(number, SQL_C_DOUBLE, value) ? CellValue::OfReal(value)
                                                          : CellValue::Null();
        }
        case ReadAs::Date:
        case ReadAs::Timestamp:
            return ReadStamp(number, slot);
        case ReadAs::Binary: {
            auto length = ReadLong(number, SQL_C_BINARY, slot.bytes);
            return length < 0 ? CellValue::Null()
                              : CellValue::OfBytes(std::string_view(slot.bytes.data(), length));
        }
        case ReadAs::Decimal:
        case ReadAs::Time:
        case ReadAs::Text:
            break;
        }
        auto length = ReadLong(number, SQL_C_WCHAR, slot.text);
        if (length < 0)
            return CellValue::Null();
        std::u16string_view text(slot.text.data(), length);
        if (slot.readAs == ReadAs::Decimal && NormalizeDecimalText(text, slot.decimal))
            return CellValue::OfDecimal(slot.decimal);
        DateTimeFields fields;
        TDateTime time;
        if (slot.readAs == ReadAs::Time && ParseDateTimeFields(text, fields) &&
            FieldsToDateTime(fields, time))
            return NeedsStoredText(fields) ? CellValue::OfDateTime(time, text)
                                           : CellValue::OfDateTime(time);
        // What cannot be read as its kind ("NaN" in a numeric column) is shown as it is.
        return CellValue::OfText(text);
    }

    // A date or a date and time, read as ODBC's structure. What a millisecond date-time cannot
    // give back exactly keeps its full spelling; what it cannot hold at all is text.
    CellValue ReadStamp(SQLUSMALLINT number, Slot& slot) {
        DateTimeFields fields;
        fields.hasDate = true;
        if (slot.readAs == ReadAs::Date) {
            SQL_DATE_STRUCT value{};
            if (!ReadFixed(number, SQL_C_TYPE_DATE, value))
                return CellValue::Null();
            fields.year = value.year;
            fields.month = value.month;
            fields.day = value.day;
        } else {
            SQL_TIMESTAMP_STRUCT value{};
            if (!ReadFixed(number, SQL_C_TYPE_TIMESTAMP, value))
                return CellValue::Null();
            fields.hasTime = true;
            fields.year = value.year;
            fields.month = value.month;
            fields.day = value.day;
            fields.hour = value.hour;
            fields.minute = value.minute;
            fields.second = value.second;
            fields.nanosecond = value.fraction;
        }
        if (slot.leadBound && slot.leadIndicator != SQL_NULL_DATA) {
            if (std::isinf(slot.lead))
                return CellValue::OfShownText(slot.lead > 0 ? u"infinity" : u"-infinity");
            // The year is all that is left of such a date; the rest is not made up.
            if (slot.lead > 9999) {
                slot.text = IntToStr((long long)slot.lead) + u"-?\?-?\?";
                return CellValue::OfShownText(slot.text);
            }
        }
        // psqlODBC's year of a date before Christ (44 BC is -44).
        if (fields.year < 0) {
            fields.beforeChrist = true;
            fields.year = -fields.year;
        }
        // An instant keeps its offset, or else its zone's name, to be found again whatever the
        // session's zone is by then.
        if (slot.zoned && zone_.fixedOffset) {
            fields.hasOffset = true;
            fields.offsetSeconds = *zone_.fixedOffset;
        }
        TDateTime when;
        bool fits = FieldsToDateTime(fields, when);
        if (fits && !NeedsStoredText(fields) && !slot.zoned)
            return CellValue::OfDateTime(when);
        slot.text.clear();
        AppendDateTimeText(slot.text, fields);
        // The reader's rendering, not the database's own text: shown, never matched.
        if (!fits || (slot.zoned && !fields.hasOffset && zone_.name.empty()))
            return CellValue::OfShownText(slot.text);
        if (slot.zoned && !fields.hasOffset)
            slot.text.append(u" ").append(zone_.name);
        return CellValue::OfDateTime(when, slot.text);
    }

    // The statement's further results (the rest of a batch) still run, and their errors are
    // reported; afterwards the connection is free for the next statement.
    void FinishStatement() {
        SQLRETURN rc;
        while ((rc = SQLMoreResults(statement_.Get())) != SQL_NO_DATA)
            statement_.Check(rc, u"SQLMoreResults");
    }

    Handle statement_;
    std::vector<ColumnInfo> columns_;
    std::vector<Slot> slots_; // never resized: bound columns point into it
    SessionZone zone_;
    bool done_ = false;
};

SQLSMALLINT SqlTypeOf(TFieldType type) {
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

bool IsTextField(TFieldType type) {
    return type == TFieldType::String || type == TFieldType::WideString ||
           type == TFieldType::Memo || type == TFieldType::WideMemo || type == TFieldType::Guid ||
           type == TFieldType::Unknown || type == TFieldType::Variant;
}

// One value as SQLBindParameter takes it. Its buffers stay where they are until the
// statement has run.
struct Parameter {
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

    void SetText(std::u16string_view value, SQLSMALLINT type) {
        cType = SQL_C_WCHAR;
        sqlType = type;
        text.assign(value);
        indicator = SQLLEN(text.size() * sizeof(char16_t));
        // Drivers refuse a character column of size 0.
        columnSize = std::max<SQLULEN>(text.size(), 1);
    }

    // An exact decimal's digits as text, sized to hold both them and the column's own.
    void SetDecimal(std::u16string_view digits, int precision, int scale) {
        SetText(digits, SQL_DECIMAL);
        std::size_t point = digits.find(u'.');
        std::u16string_view whole = digits.substr(0, point);
        if (!whole.empty() && whole[0] == u'-')
            whole.remove_prefix(1);
        int fraction = point == std::u16string_view::npos ? 0 : int(digits.size() - point - 1);
        int wholeDigits = std::max<int>(int(whole.size()), 1);
        this->digits = SQLSMALLINT(std::max(scale, fraction));
        columnSize = SQLULEN(std::max(precision, wholeDigits + this->digits));
    }

    void SetDateTime(const TDateTime& value, SQLSMALLINT type) {
        sqlType = type;
        indicator = 0;
        if (type == SQL_TYPE_DATE) {
            cType = SQL_C_TYPE_DATE;
            date = {SQLSMALLINT(value.year), SQLUSMALLINT(value.month), SQLUSMALLINT(value.day)};
            columnSize = 10;
        } else if (type == SQL_TYPE_TIME && value.millisecond == 0) {
            cType = SQL_C_TYPE_TIME;
            time = {SQLUSMALLINT(value.hour), SQLUSMALLINT(value.minute),
                    SQLUSMALLINT(value.second)};
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

    // A value read with its stored spelling, bound so that "=" finds exactly what was read.
    void SetStored(std::u16string_view stored) {
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
    void SetNull(const BoundValue& bound) {
        sqlType = SqlTypeOf(bound.type);
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

    // By the value's own kind, and by its column's type where the two agree.
    void Set(const BoundValue& bound) {
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
                sqlType = IsIntegerField(bound.type) ? SqlTypeOf(bound.type) : SQL_BIGINT;
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
            SetText(value.text, IsTextField(bound.type) ? SqlTypeOf(bound.type) : SQL_WVARCHAR);
            break;
        case CellValue::Tag::Bytes:
            cType = SQL_C_BINARY;
            sqlType = bound.type == TFieldType::Bytes || bound.type == TFieldType::VarBytes ||
                              bound.type == TFieldType::Blob
                          ? SqlTypeOf(bound.type)
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
                SetDateTime(value.dateTime, SqlTypeOf(bound.type));
            else
                SetDateTime(value.dateTime,
                            value.dateTime.year == 0 ? SQL_TYPE_TIME : SQL_TYPE_TIMESTAMP);
            break;
        }
    }

    SQLPOINTER Buffer() {
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

    SQLLEN BufferLength() const {
        return cType == SQL_C_BINARY  ? SQLLEN(bytes.size())
               : cType == SQL_C_WCHAR ? SQLLEN(text.size() * sizeof(char16_t))
                                      : 0;
    }
};

// A text column of a catalog function's row; false for NULL.
bool GetText(const Handle& statement, SQLUSMALLINT column, std::u16string& text) {
    text.clear();
    char16_t piece[256];
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc =
            SQLGetData(statement.Get(), column, SQL_C_WCHAR, piece, sizeof piece, &indicator);
        if (rc == SQL_NO_DATA)
            return true;
        statement.Check(rc, u"SQLGetData");
        if (indicator == SQL_NULL_DATA)
            return false;
        bool truncated = rc == SQL_SUCCESS_WITH_INFO &&
                         (indicator == SQL_NO_TOTAL || indicator >= SQLLEN(sizeof piece));
        if (!truncated) {
            text.append(piece, std::size_t(std::max<SQLLEN>(indicator, 0)) / sizeof(char16_t));
            return true;
        }
        text.append(piece, std::size(piece) - 1);
    }
}

long long GetInteger(const Handle& statement, SQLUSMALLINT column) {
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    statement.Check(
        SQLGetData(statement.Get(), column, SQL_C_SBIGINT, &value, sizeof value, &indicator),
        u"SQLGetData");
    return indicator == SQL_NULL_DATA ? 0 : value;
}

// "3.35.0" or "03.35.0000" as the numbers it holds.
bool VersionAtLeast(std::u16string_view version, int major, int minor) {
    int parts[2] = {0, 0};
    std::size_t pos = 0;
    for (int& part : parts) {
        while (pos < version.size() && version[pos] >= u'0' && version[pos] <= u'9')
            part = std::min(part * 10 + (version[pos++] - u'0'), 100000);
        if (pos < version.size() && version[pos] == u'.')
            ++pos;
    }
    return parts[0] > major || (parts[0] == major && parts[1] >= minor);
}

class OdbcConnection : public DriverConnection {
public:
    OdbcConnection(std::u16string_view connectionString, int loginTimeoutSeconds)
        : env_(Environment()), dbc_(SQL_HANDLE_DBC, env_.Get(), SQL_HANDLE_ENV) {
        // A driver that cannot time out its login still connects; the setting is a wish.
        SQLSetConnectAttrW(dbc_.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(std::intptr_t(loginTimeoutSeconds)), 0);
        if (connectionString.size() > std::size_t(SHRT_MAX))
            throw Exception(u"The ODBC connection string is too long");
        std::u16string text(connectionString);
        SQLSMALLINT outLength = 0;
        dbc_.Check(SQLDriverConnectW(dbc_.Get(), nullptr, Wide(text.data()),
                                     SQLSMALLINT(text.size()), nullptr, 0, &outLength,
                                     SQL_DRIVER_NOPROMPT),
                   u"SQLDriverConnect");
        connected_ = true;
        dbms_ = InfoText(SQL_DBMS_NAME);
        reading_.postgres = StartsWithText(dbms_, u"PostgreSQL");
        reading_.sessionZone = [this] { return SessionTimeZone(); };
    }

    ~OdbcConnection() override {
        if (!connected_)
            return;
        // A transaction left open keeps a connection from closing; it is abandoned.
        if (!SQL_SUCCEEDED(SQLDisconnect(dbc_.Get()))) {
            SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_ROLLBACK);
            SQLDisconnect(dbc_.Get());
        }
    }

    std::unique_ptr<DriverResult> OpenResult(std::u16string_view sql) override {
        Handle statement = NewStatement();
        SQLRETURN rc = ExecDirect(statement, sql);
        return FirstResult(std::move(statement), rc);
    }

    long long Execute(std::u16string_view sql) override {
        Handle statement = NewStatement();
        return RowsAffected(statement, ExecDirect(statement, sql));
    }

    long long ExecuteBound(std::u16string_view sql,
                           const std::vector<BoundValue>& values) override {
        Handle statement = NewStatement();
        std::vector<Parameter> parameters;
        BindParameters(statement, values, parameters);
        return RowsAffected(statement, ExecDirect(statement, sql));
    }

    std::unique_ptr<DriverResult> OpenBound(std::u16string_view sql,
                                            const std::vector<BoundValue>& values) override {
        Handle statement = NewStatement();
        std::vector<Parameter> parameters;
        BindParameters(statement, values, parameters);
        SQLRETURN rc = ExecDirect(statement, sql);
        // A searched UPDATE ... RETURNING that matched nothing has no result to describe.
        if (rc == SQL_NO_DATA)
            return nullptr;
        // The values have been sent; the result outlives their buffers.
        if (SQL_SUCCEEDED(rc))
            SQLFreeStmt(statement.Get(), SQL_RESET_PARAMS);
        return FirstResult(std::move(statement), rc);
    }

    void BeginTransaction() override {
        if (inTransaction_)
            throw Exception(u"A transaction is already active");
        SetAutocommit(false);
        inTransaction_ = true;
    }

    void Commit() override {
        if (!inTransaction_)
            throw Exception(u"No transaction is active");
        try {
            dbc_.Check(SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_COMMIT), u"SQLEndTran");
        } catch (const Exception&) {
            // Whatever the database kept of it, the transaction ends here, undone; the
            // commit's own error is the one to report.
            try {
                Rollback();
            } catch (const Exception&) {
            }
            throw;
        }
        inTransaction_ = false;
        SetAutocommit(true);
    }

    void Rollback() override {
        if (!inTransaction_)
            return;
        inTransaction_ = false;
        SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_ROLLBACK);
        // Back to committing each statement even when the rollback failed (a lost
        // connection): the next statement must not join a transaction no one will end.
        SetAutocommit(true);
        dbc_.Check(rc, u"SQLEndTran");
    }

    std::vector<std::vector<std::u16string>> UniqueKeys(std::u16string_view schema,
                                                        std::u16string_view table) override {
        if (schema.size() > std::size_t(SHRT_MAX) || table.size() > std::size_t(SHRT_MAX))
            return {};
        std::u16string schemaText(schema), tableText(table);
        // No schema: wherever the database finds the table by its name.
        SQLWCHAR* schemaArg = schema.empty() ? nullptr : Wide(schemaText.data());
        SQLSMALLINT schemaLength = SQLSMALLINT(schemaText.size());
        SQLSMALLINT tableLength = SQLSMALLINT(tableText.size());
        std::vector<std::vector<std::u16string>> keys;
        const bool ignoreCase = NamesIgnoreCase();
        auto same = [ignoreCase](std::u16string_view a, std::u16string_view b) {
            return ignoreCase ? SameText(a, b) : a == b;
        };

        struct KeyColumn {
            long long ordinal;
            std::u16string name;
        };
        std::vector<KeyColumn> primary;
        {
            Handle statement = NewStatement();
            statement.Check(SQLPrimaryKeysW(statement.Get(), nullptr, 0, schemaArg, schemaLength,
                                            Wide(tableText.data()), tableLength),
                            u"SQLPrimaryKeys");
            std::u16string column;
            while (FetchRow(statement))
                if (GetText(statement, 4, column))
                    primary.push_back({GetInteger(statement, 5), column});
        }
        std::stable_sort(primary.begin(), primary.end(),
                         [](const auto& a, const auto& b) { return a.ordinal < b.ordinal; });
        if (!primary.empty()) {
            keys.emplace_back();
            for (auto& column : primary)
                keys.back().push_back(std::move(column.name));
        }

        struct Index {
            std::u16string qualifier, name;
            std::vector<KeyColumn> columns;
            bool usable = true;
        };
        std::vector<Index> indexes;
        {
            Handle statement = NewStatement();
            statement.Check(SQLStatisticsW(statement.Get(), nullptr, 0, schemaArg, schemaLength,
                                           Wide(tableText.data()), tableLength, SQL_INDEX_UNIQUE,
                                           SQL_QUICK),
                            u"SQLStatistics");
            std::u16string qualifier, name, column, filter;
            while (FetchRow(statement)) {
                // Columns in order, as SQLGetData reads them: NON_UNIQUE, INDEX_QUALIFIER,
                // INDEX_NAME, TYPE, ORDINAL_POSITION, COLUMN_NAME, ..., FILTER_CONDITION.
                bool nonUnique = GetInteger(statement, 4) != 0;
                GetText(statement, 5, qualifier);
                GetText(statement, 6, name);
                if (GetInteger(statement, 7) == SQL_TABLE_STAT || nonUnique)
                    continue;
                long long ordinal = GetInteger(statement, 8);
                bool hasColumn = GetText(statement, 9, column) && !column.empty();
                bool filtered = GetText(statement, 13, filter) && !filter.empty();
                auto index = std::find_if(indexes.begin(), indexes.end(), [&](const Index& i) {
                    return i.qualifier == qualifier && i.name == name;
                });
                if (index == indexes.end())
                    index = indexes.insert(indexes.end(), Index{qualifier, name, {}, true});
                // An expression or a filter (a partial index) makes no key of its columns.
                if (!hasColumn || filtered)
                    index->usable = false;
                else
                    index->columns.push_back({ordinal, column});
            }
        }
        // Some drivers (psqlODBC) name an index's expression as if it were a column.
        std::vector<std::u16string> tableColumns;
        {
            Handle statement = NewStatement();
            statement.Check(SQLColumnsW(statement.Get(), nullptr, 0, schemaArg, schemaLength,
                                        Wide(tableText.data()), tableLength, nullptr, 0),
                            u"SQLColumns");
            // The names are patterns here, where "_" stands for any character.
            std::u16string rowSchema, rowTable, column;
            while (FetchRow(statement)) {
                GetText(statement, 2, rowSchema);
                GetText(statement, 3, rowTable);
                if (same(rowTable, tableText) && (schema.empty() || same(rowSchema, schemaText)) &&
                    GetText(statement, 4, column))
                    tableColumns.push_back(column);
            }
        }
        std::vector<std::u16string> partial = PartialIndexes(schema, table);
        auto isColumn = [&](const KeyColumn& column) {
            return std::any_of(tableColumns.begin(), tableColumns.end(),
                               [&](const std::u16string& name) { return same(name, column.name); });
        };
        for (auto& index : indexes) {
            if (!index.usable || index.columns.empty() ||
                std::find(partial.begin(), partial.end(), index.name) != partial.end() ||
                !std::all_of(index.columns.begin(), index.columns.end(), isColumn))
                continue;
            std::stable_sort(index.columns.begin(), index.columns.end(),
                             [](const auto& a, const auto& b) { return a.ordinal < b.ordinal; });
            std::vector<std::u16string> key;
            for (auto& column : index.columns)
                key.push_back(std::move(column.name));
            if (!HasKey(keys, key, same))
                keys.push_back(std::move(key));
        }
        return keys;
    }

    SqlDialect Dialect() override {
        SqlDialect dialect;
        std::u16string quote = InfoText(SQL_IDENTIFIER_QUOTE_CHAR);
        // A blank: the database quotes no names; the standard's quote is the best guess.
        if (quote.size() == 1 && quote[0] != u' ') {
            dialect.quoteOpen = quote[0];
            dialect.quoteClose = quote[0] == u'[' ? u']' : quote[0];
        }
        dialect.namesIgnoreCase = NamesIgnoreCase();
        if (reading_.postgres)
            dialect.insertReturning = SqlDialect::InsertReturning::Returning;
        else if (SameText(dbms_, u"Microsoft SQL Server"))
            dialect.insertReturning = SqlDialect::InsertReturning::Output;
        else if (StartsWithText(dbms_, u"SQLite") && VersionAtLeast(InfoText(SQL_DBMS_VER), 3, 35))
            dialect.insertReturning = SqlDialect::InsertReturning::Returning;
        return dialect;
    }

private:
    Handle NewStatement() { return Handle(SQL_HANDLE_STMT, dbc_.Get(), SQL_HANDLE_DBC); }

    // The first result of the executed statement that has columns, or null when none has.
    std::unique_ptr<DriverResult> FirstResult(Handle statement, SQLRETURN rc) {
        if (rc != SQL_NO_DATA)
            statement.Check(rc, u"SQLExecDirect");
        for (;;) {
            SQLSMALLINT columns = 0;
            statement.Check(SQLNumResultCols(statement.Get(), &columns), u"SQLNumResultCols");
            if (columns > 0)
                return std::make_unique<OdbcResult>(std::move(statement), columns, reading_);
            rc = SQLMoreResults(statement.Get());
            if (rc == SQL_NO_DATA)
                return nullptr;
            statement.Check(rc, u"SQLMoreResults");
        }
    }

    // The rows the executed statement changed, over all its results; -1 when none was counted.
    static long long RowsAffected(const Handle& statement, SQLRETURN rc) {
        // SQL_NO_DATA: a searched UPDATE or DELETE that matched nothing, which still counts.
        bool counted = rc == SQL_NO_DATA;
        if (!counted)
            statement.Check(rc, u"SQLExecDirect");
        long long affected = 0;
        for (;;) {
            SQLSMALLINT columns = 0;
            statement.Check(SQLNumResultCols(statement.Get(), &columns), u"SQLNumResultCols");
            // Some drivers count a query's rows too; only changes are rows affected.
            SQLLEN count = -1;
            if (columns == 0 && SQL_SUCCEEDED(SQLRowCount(statement.Get(), &count)) && count >= 0) {
                affected += count;
                counted = true;
            }
            rc = SQLMoreResults(statement.Get());
            if (rc == SQL_NO_DATA)
                break;
            statement.Check(rc, u"SQLMoreResults");
        }
        return counted ? affected : -1;
    }

    static bool FetchRow(const Handle& statement) {
        SQLRETURN rc = SQLFetch(statement.Get());
        if (rc == SQL_NO_DATA)
            return false;
        statement.Check(rc, u"SQLFetch");
        return true;
    }

    // Whether `keys` has one of the same columns, in any order.
    template <typename Same>
    static bool HasKey(const std::vector<std::vector<std::u16string>>& keys,
                       const std::vector<std::u16string>& key, Same same) {
        return std::any_of(keys.begin(), keys.end(), [&](const std::vector<std::u16string>& other) {
            return std::is_permutation(key.begin(), key.end(), other.begin(), other.end(), same);
        });
    }

    // Whether two names that differ only in case name the same column. psqlODBC and the
    // SQLite ODBC driver report quoted names as SQL_IC_SENSITIVE, FreeTDS as SQL_IC_MIXED
    // whatever the server's collation. SQLite itself never tells such names apart.
    bool NamesIgnoreCase() {
        if (StartsWithText(dbms_, u"SQLite"))
            return true;
        SQLUSMALLINT quotedCase = 0;
        return SQL_SUCCEEDED(SQLGetInfoW(dbc_.Get(), SQL_QUOTED_IDENTIFIER_CASE, &quotedCase,
                                         sizeof quotedCase, nullptr)) &&
               quotedCase == SQL_IC_MIXED;
    }

    // The table's indexes that cover only some rows, where the driver's SQLStatistics does
    // not tell them (psqlODBC gives no filter condition).
    std::vector<std::u16string> PartialIndexes(std::u16string_view schema,
                                               std::u16string_view table) {
        std::vector<std::u16string> names;
        if (!reading_.postgres)
            return names;
        BoundValue tableName, schemaName;
        tableName.type = schemaName.type = TFieldType::WideString;
        tableName.value = CellValue::OfText(table);
        schemaName.value = CellValue::OfText(schema);
        auto result = OpenBound(u"select i.relname from pg_catalog.pg_index x "
                                u"join pg_catalog.pg_class i on i.oid = x.indexrelid "
                                u"join pg_catalog.pg_class t on t.oid = x.indrelid "
                                u"join pg_catalog.pg_namespace n on n.oid = t.relnamespace "
                                u"where x.indpred is not null and t.relname = ? "
                                u"and n.nspname = coalesce(nullif(?, ''), n.nspname)",
                                {tableName, schemaName});
        std::vector<CellValue> row;
        while (result && result->Fetch(row))
            if (row.at(0).tag == CellValue::Tag::Text)
                names.emplace_back(row[0].text);
        return names;
    }

    void SetAutocommit(bool on) {
        dbc_.Check(SQLSetConnectAttrW(dbc_.Get(), SQL_ATTR_AUTOCOMMIT,
                                      reinterpret_cast<SQLPOINTER>(std::intptr_t(
                                          on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
                                      SQL_IS_UINTEGER),
                   u"SQLSetConnectAttr");
    }

    // A text that SQLGetInfo gives about the database; empty when the driver does not say.
    std::u16string InfoText(SQLUSMALLINT type) {
        std::u16string value(256, u'\0');
        SQLSMALLINT bytes = 0;
        if (!SQL_SUCCEEDED(SQLGetInfoW(dbc_.Get(), type, value.data(),
                                       SQLSMALLINT(value.size() * sizeof(char16_t)), &bytes)))
            return {};
        value.resize(std::min<std::size_t>(std::max<SQLSMALLINT>(bytes, 0) / sizeof(char16_t),
                                           value.size() - 1));
        return value;
    }

    // PostgreSQL's session time zone. Sampled a month apart over four centuries, any summer
    // time or change of its offset shows. Nothing when the server cannot say (a transaction
    // already failed): then no wall time is trusted.
    SessionZone SessionTimeZone() {
        SessionZone zone;
        try {
            auto result = OpenResult(
                u"select count(distinct o), min(o), current_setting('TimeZone') from (select "
                u"extract(timezone from t)::int as o from generate_series(timestamptz "
                u"'1800-01-01 00:00+00', timestamptz '2200-01-01 00:00+00', interval '1 month') "
                u"as t) as offsets");
            std::vector<CellValue> row;
            if (result && result->Fetch(row) && row.size() == 3 &&
                row[0].tag == CellValue::Tag::Integer && row[1].tag == CellValue::Tag::Integer &&
                row[2].tag == CellValue::Tag::Text) {
                if (row[0].integer == 1)
                    zone.fixedOffset = int(row[1].integer);
                else if (row[2].text.find(u' ') == std::u16string_view::npos)
                    zone.name = row[2].text;
            }
        } catch (const Exception&) {
        }
        return zone;
    }

    // The one instant a wall time stands for in its zone, as "2024-11-03 05:30:00.000000+00".
    // Every offset the zone has within three days of it is tried: where a clock was set back,
    // two instants have that wall time, and the value finds no row.
    std::u16string ResolveWallTime(std::u16string_view wall, std::u16string_view zone) {
        BoundValue wallValue, zoneValue;
        wallValue.type = zoneValue.type = TFieldType::WideString;
        wallValue.value = CellValue::OfText(wall);
        zoneValue.value = CellValue::OfText(zone);
        auto result = OpenBound(
            u"select count(distinct c), min(to_char(c at time zone 'UTC', "
            u"'YYYY-MM-DD HH24:MI:SS.US')) from (select (w - ((x at time zone z) - "
            u"(x at time zone 'UTC'))) at time zone 'UTC' as c, w, z from (select cast(? as "
            u"timestamp) as w, cast(? as text) as z) as v, lateral generate_series((w at time "
            u"zone z) - interval '3 days', (w at time zone z) + interval '3 days', interval "
            u"'1 hour') as x) as candidates where (c at time zone z) = w",
            {wallValue, zoneValue});
        std::vector<CellValue> row;
        if (!result || !result->Fetch(row) || row.size() != 2 ||
            row[0].tag != CellValue::Tag::Integer || row[1].tag != CellValue::Tag::Text)
            throw Exception(u"The time " + std::u16string(wall) +
                            u" does not exist in the time "
                            u"zone " +
                            std::u16string(zone) + u"; no row can be found by it.");
        if (row[0].integer != 1)
            throw Exception(u"The time " + std::u16string(wall) +
                            u" stands for two instants in "
                            u"the time zone " +
                            std::u16string(zone) +
                            u" (the clock was set back); no row can be found by it.");
        return std::u16string(row[1].text) + u"+00";
    }

    // Binds each value to the marker at its position; `parameters` keeps their buffers.
    void BindParameters(const Handle& statement, const std::vector<BoundValue>& values,
                        std::vector<Parameter>& parameters) {
        parameters.assign(values.size(), Parameter());
        for (std::size_t i = 0; i < values.size(); ++i) {
            Parameter& p = parameters[i];
            const CellValue& value = values[i].value;
            std::u16string_view wall, zone;
            if (value.tag == CellValue::Tag::DateTime && reading_.postgres &&
                SplitZonedWallTime(value.text, wall, zone))
                p.SetText(ResolveWallTime(wall, zone), SQL_WVARCHAR);
            else
                p.Set(values[i]);
            statement.Check(SQLBindParameter(statement.Get(), SQLUSMALLINT(i + 1), SQL_PARAM_INPUT,
                                             p.cType, p.sqlType, p.columnSize, p.digits, p.Buffer(),
                                             p.BufferLength(), &p.indicator),
                            u"SQLBindParameter");
        }
    }

    Handle env_;
    Handle dbc_;
    std::u16string dbms_;
    ResultReading reading_;
    bool connected_ = false;
    bool inTransaction_ = false;
};

} // namespace

std::vector<std::u16string> InstalledOdbcDrivers() {
    Handle env = Environment();
    std::vector<std::u16string> names;
    std::u16string name(256, u'\0');
    std::u16string attributes(1024, u'\0');
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT nameLength = 0, attributesLength = 0;
        SQLRETURN rc = SQLDriversW(env.Get(), direction, Wide(name.data()),
                                   SQLSMALLINT(name.size()), &nameLength, Wide(attributes.data()),
                                   SQLSMALLINT(attributes.size()), &attributesLength);
        if (rc == SQL_NO_DATA)
            break;
        env.Check(rc, u"SQLDrivers");
        names.emplace_back(name.data(), std::min<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0),
                                                              name.size() - 1));
        direction = SQL_FETCH_NEXT;
    }
    return names;
}

std::unique_ptr<DriverConnection> ConnectOdbc(std::u16string_view odbcConnectionString,
                                              int loginTimeoutSeconds) {
    return std::make_unique<OdbcConnection>(odbcConnectionString, loginTimeoutSeconds);
}

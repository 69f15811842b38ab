#include "data/OdbcDriver.h"

#ifdef _WIN32
// The Windows ODBC headers are written on top of the Windows base types.
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "base/Exception.h"
#include "base/Text.h"
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

class OdbcResult : public DriverResult {
public:
    OdbcResult(Handle statement, SQLSMALLINT columnCount) : statement_(std::move(statement)) {
        columns_.resize(columnCount);
        slots_.resize(columnCount);
        for (SQLUSMALLINT i = 0; i < SQLUSMALLINT(columnCount); ++i)
            Describe(i);
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
        // Text and bytes of the current row; kept from row to row to spare reallocation.
        std::u16string text;
        std::u16string decimal;
        std::string bytes;
    };

    void Describe(SQLUSMALLINT index) {
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
        slots_[index].readAs = Classify(sqlType, column);
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
        if (!column.baseTable.empty())
            column.baseColumn = TextAttribute(statement_, number, SQL_DESC_BASE_COLUMN_NAME);
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
        case ReadAs::Date: {
            SQL_DATE_STRUCT value{};
            if (!ReadFixed(number, SQL_C_TYPE_DATE, value))
                return CellValue::Null();
            TDateTime when;
            when.year = value.year;
            when.month = value.month;
            when.day = value.day;
            return CellValue::OfDateTime(when);
        }
        case ReadAs::Timestamp: {
            SQL_TIMESTAMP_STRUCT value{};
            if (!ReadFixed(number, SQL_C_TYPE_TIMESTAMP, value))
                return CellValue::Null();
            TDateTime when;
            when.year = value.year;
            when.month = value.month;
            when.day = value.day;
            when.hour = value.hour;
            when.minute = value.minute;
            when.second = value.second;
            when.millisecond = int(value.fraction / 1000000); // nanoseconds
            return CellValue::OfDateTime(when);
        }
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
        TDateTime time;
        if (slot.readAs == ReadAs::Time && ParseIsoDateTime(text, time))
            return CellValue::OfDateTime(time);
        // What cannot be read as its kind ("NaN" in a numeric column) is shown as it is.
        return CellValue::OfText(text);
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
    std::vector<Slot> slots_;
    bool done_ = false;
};

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
        if (rc != SQL_NO_DATA)
            statement.Check(rc, u"SQLExecDirect");
        for (;;) {
            SQLSMALLINT columns = 0;
            statement.Check(SQLNumResultCols(statement.Get(), &columns), u"SQLNumResultCols");
            if (columns > 0)
                return std::make_unique<OdbcResult>(std::move(statement), columns);
            rc = SQLMoreResults(statement.Get());
            if (rc == SQL_NO_DATA)
                return nullptr;
            statement.Check(rc, u"SQLMoreResults");
        }
    }

    long long Execute(std::u16string_view sql) override {
        Handle statement = NewStatement();
        SQLRETURN rc = ExecDirect(statement, sql);
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

private:
    Handle NewStatement() { return Handle(SQL_HANDLE_STMT, dbc_.Get(), SQL_HANDLE_DBC); }

    Handle env_;
    Handle dbc_;
    bool connected_ = false;
};

} // namespace

bool NormalizeDecimalText(std::u16string_view text, std::u16string& out) {
    auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
        negative = text[pos++] == u'-';
    std::u16string_view whole, fraction;
    std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    whole = text.substr(start, pos - start);
    if (pos < text.size() && (text[pos] == u'.' || text[pos] == u',')) {
        start = ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        fraction = text.substr(start, pos - start);
    }
    if (whole.empty() && fraction.empty())
        return false;
    long exponent = 0;
    if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        ++pos;
        bool down = pos < text.size() && text[pos] == u'-';
        if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
            ++pos;
        if (pos == text.size())
            return false;
        for (; pos < text.size() && isDigit(text[pos]); ++pos) {
            exponent = exponent * 10 + (text[pos] - u'0');
            if (exponent > 4000)
                return false; // no exact type goes that far
        }
        if (down)
            exponent = -exponent;
    }
    if (pos != text.size())
        return false;

    std::u16string digits(whole);
    digits += fraction;
    long point = long(whole.size()) + exponent; // digits before the separator
    out.clear();
    if (negative && digits.find_first_not_of(u'0') != std::u16string::npos)
        out += u'-';
    std::size_t wholeStart = out.size();
    if (point <= 0)
        out += u'0';
    else
        for (long i = 0; i < point; ++i)
            out += std::size_t(i) < digits.size() ? digits[i] : u'0';
    // Leading zeros go; one stays before the separator.
    std::size_t zeros = 0;
    while (wholeStart + zeros + 1 < out.size() && out[wholeStart + zeros] == u'0')
        ++zeros;
    out.erase(wholeStart, zeros);
    if (long(digits.size()) > std::max(point, 0L)) {
        out += u'.';
        for (long i = point; i < 0; ++i)
            out += u'0';
        out.append(digits, std::size_t(std::max(point, 0L)));
    }
    return true;
}

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

#include "data/drivers/odbc/OdbcResult.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/Text.h"
#include "data/DateTimeText.h"
#include "data/DecimalText.h"
#include "data/drivers/odbc/OdbcTypes.h"

namespace {

std::u16string TextAttribute(const OdbcHandle& statement, SQLUSMALLINT column, SQLUSMALLINT field) {
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
    OdbcResult(OdbcHandle statement, SQLSMALLINT columnCount, const OdbcResultReading& reading,
               std::shared_ptr<OdbcCancel> cancel)
        : statement_(std::move(statement)), cancel_(std::move(cancel)) {
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
        return cancel_->Run([&] {
            OdbcCancel::Wait wait(*cancel_, statement_);
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
        });
    }

private:
    struct Slot {
        OdbcReadAs readAs = OdbcReadAs::Text;
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

    void Describe(SQLUSMALLINT index, const OdbcResultReading& reading) {
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
        OdbcColumnKind kind = ClassifyOdbcType(sqlType);
        column.type = kind.type;
        slot.readAs = kind.readAs;
        if (reading.postgres &&
            (slot.readAs == OdbcReadAs::Date || slot.readAs == OdbcReadAs::Timestamp)) {
            slot.zoned = TextAttribute(statement_, number, SQL_DESC_TYPE_NAME) == u"timestamptz";
            slot.leadBound =
                SQL_SUCCEEDED(SQLBindCol(statement_.Get(), number, SQL_C_DOUBLE, &slot.lead,
                                         sizeof slot.lead, &slot.leadIndicator));
        }
        switch (column.type) {
        case TFieldType::Decimal:
            column.precision = OdbcDeclaredSize(size);
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
            column.size = OdbcDeclaredSize(size);
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
        case OdbcReadAs::Integer: {
            SQLBIGINT value = 0;
            return ReadFixed(number, SQL_C_SBIGINT, value) ? CellValue::OfInteger(value)
                                                           : CellValue::Null();
        }
        case OdbcReadAs::Bit: {
            unsigned char value = 0;
            return ReadFixed(number, SQL_C_BIT, value) ? CellValue::OfInteger(value ? 1 : 0)
                                                       : CellValue::Null();
        }
        case OdbcReadAs::Real: {
            SQLDOUBLE value = 0;
            return ReadFixed(number, SQL_C_DOUBLE, value) ? CellValue::OfReal(value)
                                                          : CellValue::Null();
        }
        case OdbcReadAs::Date:
        case OdbcReadAs::Timestamp:
            return ReadStamp(number, slot);
        case OdbcReadAs::Binary: {
            auto length = ReadLong(number, SQL_C_BINARY, slot.bytes);
            return length < 0 ? CellValue::Null()
                              : CellValue::OfBytes(std::string_view(slot.bytes.data(), length));
        }
        case OdbcReadAs::Decimal:
        case OdbcReadAs::Time:
        case OdbcReadAs::Text:
            break;
        }
        auto length = ReadLong(number, SQL_C_WCHAR, slot.text);
        if (length < 0)
            return CellValue::Null();
        std::u16string_view text(slot.text.data(), length);
        if (slot.readAs == OdbcReadAs::Decimal && NormalizeDecimalText(text, slot.decimal))
            return CellValue::OfDecimal(slot.decimal);
        DateTimeFields fields;
        TDateTime time;
        if (slot.readAs == OdbcReadAs::Time && ParseDateTimeFields(text, fields) &&
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
        if (slot.readAs == OdbcReadAs::Date) {
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

    OdbcHandle statement_;
    std::shared_ptr<OdbcCancel> cancel_;
    std::vector<ColumnInfo> columns_;
    std::vector<Slot> slots_; // never resized: bound columns point into it
    SessionZone zone_;
    bool done_ = false;
};

} // namespace

std::unique_ptr<DriverResult> OdbcFirstResult(OdbcHandle statement, SQLRETURN rc,
                                              const OdbcResultReading& reading,
                                              std::shared_ptr<OdbcCancel> cancel) {
    if (rc != SQL_NO_DATA)
        statement.Check(rc, u"SQLExecDirect");
    for (;;) {
        SQLSMALLINT columns = 0;
        statement.Check(SQLNumResultCols(statement.Get(), &columns), u"SQLNumResultCols");
        if (columns > 0)
            return std::make_unique<OdbcResult>(std::move(statement), columns, reading,
                                                std::move(cancel));
        OdbcCancel::Wait wait(*cancel, statement);
        rc = SQLMoreResults(statement.Get());
        if (rc == SQL_NO_DATA)
            return nullptr;
        statement.Check(rc, u"SQLMoreResults");
    }
}

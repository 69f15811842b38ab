#include "data/drivers/sqlite/SqliteResult.h"

#include <utility>

#include "data/IsoDateTime.h"
#include "data/RowCache.h"
#include "data/SqlLexer.h"
#include "data/drivers/sqlite/SqliteTypes.h"

SqliteResult::SqliteResult(sqlite3* db, std::shared_ptr<SqliteCancel> cancel,
                           SqliteStatement statement, bool lastIsRowId, std::u16string rest,
                           std::function<void(std::u16string_view)> runRest)
    : db_(db), cancel_(std::move(cancel)), statement_(std::move(statement)),
      runRest_(std::move(runRest)) {
    sqlite3_stmt* stmt = statement_.Get();
    if (!OnlyCommentsLeft(rest))
        rest_ = std::move(rest);
    pending_ = sqlite3_step(stmt);
    if (pending_ != SQLITE_ROW && pending_ != SQLITE_DONE)
        RaiseSqliteError(db_);
    int count = sqlite3_column_count(stmt);
    columns_.resize(count);
    for (int i = 0; i < count; ++i) {
        ColumnInfo& column = columns_[i];
        column.name = SqliteText(sqlite3_column_name16(stmt, i));
        ClassifySqliteType(sqlite3_column_decltype(stmt, i), column);
        column.holds64BitIntegers = IsIntegerField(column.type);
        column.baseSchema = SqliteText(sqlite3_column_database_name16(stmt, i));
        column.baseTable = SqliteText(sqlite3_column_table_name16(stmt, i));
        column.baseColumn = SqliteText(sqlite3_column_origin_name16(stmt, i));
        // Only a table's own column can be written back; expressions cannot.
        column.readOnly = column.baseColumn.empty();
    }
    if (lastIsRowId && count > 0) {
        ColumnInfo& rowId = columns_.back();
        rowId.type = TFieldType::Largeint;
        rowId.size = rowId.precision = rowId.scale = 0;
        rowId.baseColumn = u"rowid";
        rowId.readOnly = true;
        rowId.rowId = true;
    }
    for (const ColumnInfo& column : columns_)
        dateKinds_.push_back(IsDateKind(column.type));
}

bool SqliteResult::Recompiled() const {
    return sqlite3_stmt_status(statement_.Get(), SQLITE_STMTSTATUS_REPREPARE, 0) > 0;
}

bool SqliteResult::Step() {
    if (done_)
        return false;
    int rc = pending_ >= 0 ? pending_ : sqlite3_step(statement_.Get());
    pending_ = -1;
    if (rc == SQLITE_DONE) {
        done_ = true;
        // Read to the end, the statement lets go of the file, and what the text asked for
        // after it runs now, before anything else can use the connection; its errors are
        // this read's.
        sqlite3_reset(statement_.Get());
        if (!rest_.empty())
            runRest_(std::exchange(rest_, std::u16string()));
        return false;
    }
    if (rc != SQLITE_ROW) {
        done_ = true;
        RaiseSqliteError(db_);
    }
    return true;
}

bool SqliteResult::Fetch(std::vector<CellValue>& row) {
    if (done_)
        return false;
    SqliteCancel::Call call(*cancel_, false);
    if (!Step())
        return false;
    row.resize(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i)
        row[i] = Value(int(i));
    return true;
}

std::size_t SqliteResult::FetchInto(RowCache& cache, std::size_t count) {
    if (done_ || count == 0)
        return 0;
    SqliteCancel::Call call(*cancel_, false);
    // Holding the connection's lock for the rows lets their values be read without it, each
    // taken once from the engine; a cancel does not need it.
    struct Lock {
        explicit Lock(sqlite3* db) : mutex(sqlite3_db_mutex(db)) { sqlite3_mutex_enter(mutex); }
        ~Lock() { sqlite3_mutex_leave(mutex); }
        sqlite3_mutex* mutex;
    } lock(db_);
    sqlite3_stmt* stmt = statement_.Get();
    std::size_t read = 0;
    for (; read < count && Step(); ++read) {
        cache.StartRow();
        // The common kinds go straight from the engine into the cache; text as the engine
        // keeps it, in UTF-8.
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            sqlite3_value* value = sqlite3_column_value(stmt, int(i));
            switch (sqlite3_value_type(value)) {
            case SQLITE_INTEGER:
                cache.PutInteger(i, sqlite3_value_int64(value));
                continue;
            case SQLITE_FLOAT:
                cache.PutReal(i, sqlite3_value_double(value));
                continue;
            case SQLITE_TEXT:
                if (!dateKinds_[i]) {
                    auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
                    cache.PutUtf8Text(i, {text, std::size_t(sqlite3_value_bytes(value))});
                    continue;
                }
                break;
            default:
                break;
            }
            cache.Put(i, Value(int(i)));
        }
        cache.EndRow();
    }
    return read;
}

CellValue SqliteResult::Value(int i) {
    sqlite3_stmt* stmt = statement_.Get();
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return CellValue::OfInteger(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT:
        return CellValue::OfReal(sqlite3_column_double(stmt, i));
    case SQLITE_TEXT: {
        if (dateKinds_[std::size_t(i)])
            return DateValue(i);
        auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        return CellValue::OfUtf8Text(
            std::string_view(text, std::size_t(sqlite3_column_bytes(stmt, i))));
    }
    case SQLITE_BLOB: {
        auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, i));
        return CellValue::OfBytes(std::string_view(bytes, sqlite3_column_bytes(stmt, i)));
    }
    default:
        return CellValue::Null();
    }
}

CellValue SqliteResult::DateValue(int i) {
    sqlite3_stmt* stmt = statement_.Get();
    auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, i));
    std::u16string_view view(text, sqlite3_column_bytes16(stmt, i) / 2);
    TDateTime when;
    TFieldType type = columns_[std::size_t(i)].type;
    if (!ParseIsoDateTime(view, when))
        return CellValue::OfText(view);
    // The engine keeps dates as whatever text they were given ("2024-01-01T10:00",
    // a time in a DATE column, microseconds); only that text finds such a row again.
    ownSpelling_.clear();
    AppendIsoDateTimeText(ownSpelling_, when, SqliteDateTimeParts(type, when));
    if (ownSpelling_ == view)
        return CellValue::OfDateTime(when);
    return CellValue::OfDateTime(when, view);
}

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <utility>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/Driver.h"
#include "data/IsoDateTime.h"
#include "data/SingleTableSelect.h"

namespace {

std::u16string Utf16(const void* text) {
    return text ? std::u16string(static_cast<const char16_t*>(text)) : std::u16string();
}

[[noreturn]] void RaiseError(sqlite3* db) {
    throw Exception(Utf16(sqlite3_errmsg16(db)));
}

std::string Upper(const char* text) {
    std::string upper = text ? text : "";
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return upper;
}

// The numbers in "VARCHAR(30)" or "DECIMAL(10, 2)"; zero when not given.
void DeclaredSize(const std::string& declared, int& first, int& second) {
    first = second = 0;
    auto open = declared.find('(');
    if (open == std::string::npos)
        return;
    int* target = &first;
    for (auto pos = open + 1; pos < declared.size() && declared[pos] != ')'; ++pos) {
        char c = declared[pos];
        if (c >= '0' && c <= '9')
            *target = *target * 10 + (c - '0');
        else if (c == ',')
            target = &second;
    }
}

// SQLite keeps whatever a column is given; its declared type is only a wish. The kind is read
// from that wish by the engine's own affinity words, and each value still brings its own
// storage class, so a number in a text column shows as the number it is.
void Classify(const char* declaredType, ColumnInfo& column) {
    if (!declaredType) {
        column.type = TFieldType::Variant; // an expression
        return;
    }
    std::string declared = Upper(declaredType);
    auto has = [&](const char* word) { return declared.find(word) != std::string::npos; };
    int first = 0, second = 0;
    DeclaredSize(declared, first, second);
    if (has("BIGINT") || has("INT8"))
        column.type = TFieldType::Largeint;
    else if (has("SMALLINT") || has("TINYINT") || has("INT2"))
        column.type = TFieldType::Smallint;
    else if (has("INT"))
        column.type = TFieldType::Integer;
    else if (has("BOOL"))
        column.type = TFieldType::Boolean;
    else if (has("DATETIME") || has("TIMESTAMP"))
        column.type = TFieldType::DateTime;
    else if (has("DATE"))
        column.type = TFieldType::Date;
    else if (has("TIME"))
        column.type = TFieldType::Time;
    else if (has("GUID") || has("UNIQUEIDENTIFIER"))
        column.type = TFieldType::Guid;
    else if (has("CHAR") || has("CLOB") || has("TEXT"))
        column.type = TFieldType::WideString, column.size = first; // 0: no declared size
    else if (has("BLOB") || has("BINARY"))
        column.type = TFieldType::Blob;
    else if (has("REAL") || has("FLOA") || has("DOUB"))
        column.type = TFieldType::Float;
    else if (has("DEC") || has("NUMERIC") || has("MONEY"))
        column.type = TFieldType::Decimal, column.precision = first, column.scale = second;
    else
        column.type = TFieldType::Variant;
}

bool IsDateKind(TFieldType type) {
    return type == TFieldType::Date || type == TFieldType::Time || type == TFieldType::DateTime;
}

// How the engine's date functions take a value, by the column's kind; a column of no date
// kind gets what the value holds.
IsoParts DateTimeParts(TFieldType type, const TDateTime& t) {
    return type == TFieldType::Date       ? IsoParts::Date
           : type == TFieldType::Time     ? IsoParts::Time
           : type == TFieldType::DateTime ? IsoParts::DateAndTime
           : t.year == 0                  ? IsoParts::Time
           : t.IsMidnight()               ? IsoParts::Date
                                          : IsoParts::DateAndTime;
}

void Bind(sqlite3* db, sqlite3_stmt* stmt, const std::vector<BoundValue>& values) {
    int markers = sqlite3_bind_parameter_count(stmt);
    if (markers != int(values.size()))
        throw Exception(u"The statement has " + IntToStr(markers) + u" parameter markers but " +
                        IntToStr(static_cast<long long>(values.size())) + u" values were given");
    // A null pointer would bind NULL, not empty text or bytes.
    static const char16_t kNoText[] = u"";
    static const char kNoBytes[] = "";
    for (int i = 0; i < markers; ++i) {
        const BoundValue& bound = values[std::size_t(i)];
        const CellValue& value = bound.value;
        std::u16string dateText;
        std::u16string_view text = value.text;
        int rc = SQLITE_OK;
        switch (value.tag) {
        case CellValue::Tag::Null:
            rc = sqlite3_bind_null(stmt, i + 1);
            break;
        case CellValue::Tag::Integer:
            rc = sqlite3_bind_int64(stmt, i + 1, value.integer);
            break;
        case CellValue::Tag::Real:
            rc = sqlite3_bind_double(stmt, i + 1, value.real);
            break;
        case CellValue::Tag::Bytes:
            rc = sqlite3_bind_blob64(stmt, i + 1,
                                     value.bytes.empty() ? kNoBytes : value.bytes.data(),
                                     value.bytes.size(), SQLITE_TRANSIENT);
            break;
        case CellValue::Tag::DateTime:
            // The spelling the value was read in finds it again; a rendering might not.
            if (value.text.empty()) {
                dateText =
                    IsoDateTimeText(value.dateTime, DateTimeParts(bound.type, value.dateTime));
                text = dateText;
            }
            [[fallthrough]];
        case CellValue::Tag::Text:
        case CellValue::Tag::Decimal:
            rc = sqlite3_bind_text64(
                stmt, i + 1, reinterpret_cast<const char*>(text.empty() ? kNoText : text.data()),
                text.size() * sizeof(char16_t), SQLITE_TRANSIENT, SQLITE_UTF16);
            break;
        }
        if (rc != SQLITE_OK)
            RaiseError(db);
    }
}

// The table column a result column shows; empty parts for an expression.
struct Origin {
    std::u16string database, table, column;

    explicit Origin(sqlite3_stmt* stmt, int i)
        : database(Utf16(sqlite3_column_database_name16(stmt, i))),
          table(Utf16(sqlite3_column_table_name16(stmt, i))),
          column(Utf16(sqlite3_column_origin_name16(stmt, i))) {}
    bool SameTable(const Origin& other) const {
        return database == other.database && table == other.table;
    }
    bool operator==(const Origin&) const = default;
};

class Statement {
public:
    Statement() = default;
    explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt*& Handle() { return stmt_; }
    sqlite3_stmt* Release() {
        auto* stmt = stmt_;
        stmt_ = nullptr;
        return stmt;
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

class SqliteResult : public DriverResult {
public:
    // Takes the statement and makes its first step, which may compile it again for a schema
    // that changed since it was prepared: the columns are read after it, so that their names,
    // kinds and values agree. `lastIsRowId`: the statement's last column is the rowid the
    // driver added. `rest`: the statements that followed it in the
    // text, which `runRest` runs once its rows are read to the end.
    SqliteResult(sqlite3* db, sqlite3_stmt* stmt, bool lastIsRowId, std::u16string rest,
                 std::function<void(std::u16string_view)> runRest)
        : db_(db), statement_(stmt), runRest_(std::move(runRest)) {
        if (!OnlyCommentsLeft(rest))
            rest_ = std::move(rest);
        pending_ = sqlite3_step(stmt);
        if (pending_ != SQLITE_ROW && pending_ != SQLITE_DONE)
            RaiseError(db_);
        int count = sqlite3_column_count(stmt);
        columns_.resize(count);
        for (int i = 0; i < count; ++i) {
            ColumnInfo& column = columns_[i];
            column.name = Utf16(sqlite3_column_name16(stmt, i));
            Classify(sqlite3_column_decltype(stmt, i), column);
            column.holds64BitIntegers = IsIntegerField(column.type);
            column.baseSchema = Utf16(sqlite3_column_database_name16(stmt, i));
            column.baseTable = Utf16(sqlite3_column_table_name16(stmt, i));
            column.baseColumn = Utf16(sqlite3_column_origin_name16(stmt, i));
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
    }

    const std::vector<ColumnInfo>& Columns() const override { return columns_; }
    bool MoreStatementsFollow() const override { return !rest_.empty(); }
    // Whether the engine compiled the statement again since it was prepared.
    bool Recompiled() {
        return sqlite3_stmt_status(statement_.Handle(), SQLITE_STMTSTATUS_REPREPARE, 0) > 0;
    }

    bool Fetch(std::vector<CellValue>& row) override {
        if (done_)
            return false;
        int rc = pending_ >= 0 ? pending_ : sqlite3_step(statement_.Handle());
        pending_ = -1;
        if (rc == SQLITE_DONE) {
            done_ = true;
            // Read to the end, the statement lets go of the file, and what the text asked for
            // after it runs now, before anything else can use the connection; its errors are
            // this read's.
            sqlite3_reset(statement_.Handle());
            if (!rest_.empty())
                runRest_(std::exchange(rest_, std::u16string()));
            return false;
        }
        if (rc != SQLITE_ROW) {
            done_ = true;
            RaiseError(db_);
        }
        row.resize(columns_.size());
        for (std::size_t i = 0; i < columns_.size(); ++i)
            row[i] = Value(int(i));
        return true;
    }

private:
    CellValue Value(int i) {
        sqlite3_stmt* stmt = statement_.Handle();
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER:
            return CellValue::OfInteger(sqlite3_column_int64(stmt, i));
        case SQLITE_FLOAT:
            return CellValue::OfReal(sqlite3_column_double(stmt, i));
        case SQLITE_TEXT: {
            auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, i));
            std::u16string_view view(text, sqlite3_column_bytes16(stmt, i) / 2);
            TDateTime when;
            TFieldType type = columns_[i].type;
            if (!IsDateKind(type) || !ParseIsoDateTime(view, when))
                return CellValue::OfText(view);
            // The engine keeps dates as whatever text they were given ("2024-01-01T10:00",
            // a time in a DATE column, microseconds); only that text finds such a row again.
            ownSpelling_.clear();
            AppendIsoDateTimeText(ownSpelling_, when, DateTimeParts(type, when));
            if (ownSpelling_ == view)
                return CellValue::OfDateTime(when);
            return CellValue::OfDateTime(when, view);
        }
        case SQLITE_BLOB: {
            auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, i));
            return CellValue::OfBytes(std::string_view(bytes, sqlite3_column_bytes(stmt, i)));
        }
        default:
            return CellValue::Null();
        }
    }

    sqlite3* db_;
    Statement statement_;
    std::vector<ColumnInfo> columns_;
    std::u16string rest_;
    std::function<void(std::u16string_view)> runRest_;
    std::u16string ownSpelling_; // how a date read would be written, kept from value to value
    int pending_ = -1;
    bool done_ = false;
};

class SqliteConnection : public DriverConnection {
public:
    explicit SqliteConnection(std::u16string_view path) {
        int rc = sqlite3_open_v2(ToUtf8(path).c_str(), &db_,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            std::u16string message =
                db_ ? Utf16(sqlite3_errmsg16(db_)) : std::u16string(u"out of memory");
            sqlite3_close(db_);
            throw Exception(message + u": " + std::u16string(path));
        }
        // A database another program is writing waits a little instead of failing at once.
        sqlite3_busy_timeout(db_, 5000);
        sqlite3_extended_result_codes(db_, 1);
    }
    ~SqliteConnection() override { sqlite3_close_v2(db_); }

    std::unique_ptr<DriverResult> OpenResult(std::u16string_view sql) override {
        std::unique_ptr<SqliteResult> result;
        Run(sql, [&](Statement& statement, std::u16string_view text, std::u16string_view rest) {
            if (sqlite3_column_count(statement.Handle()) == 0) {
                RunToEnd(statement);
                return false;
            }
            for (int attempt = 0;; ++attempt) {
                bool readOnly = sqlite3_stmt_readonly(statement.Handle());
                sqlite3_stmt* withRowId = nullptr;
                try {
                    withRowId = WithRowId(statement.Handle(), text);
                } catch (const Exception&) {
                    // Without the rowid the result is only harder to change.
                }
                // The statement as written is then never run: only one of the two may be.
                Statement chosen(withRowId ? withRowId : statement.Release());
                result = std::make_unique<SqliteResult>(
                    db_, chosen.Release(), withRowId != nullptr, std::u16string(rest),
                    [this](std::u16string_view more) { Execute(more); });
                // Compiled again at its first step, the statement met a schema that another
                // connection changed: whether it can carry the rowid was judged by tables that
                // are gone (a column may now be called rowid), so a statement that only reads
                // is judged again by the tables as they are.
                if (!readOnly || !result->Recompiled())
                    return true;
                if (attempt > 0) {
                    if (!withRowId)
                        return true;
                    throw Exception(u"The table changed while the statement was being "
                                    u"prepared; run it again.");
                }
                result.reset();
                PrepareAgain(text, statement);
            }
        });
        return result;
    }

    long long Execute(std::u16string_view sql) override {
        long long affected = 0;
        Run(sql, [&](Statement& statement, std::u16string_view, std::u16string_view) {
            affected += RunCounted(statement);
            return false;
        });
        return affected;
    }

    long long ExecuteBound(std::u16string_view sql,
                           const std::vector<BoundValue>& values) override {
        Statement statement;
        PrepareOne(sql, values, statement);
        return RunCounted(statement);
    }

    std::unique_ptr<DriverResult> OpenBound(std::u16string_view sql,
                                            const std::vector<BoundValue>& values) override {
        Statement statement;
        PrepareOne(sql, values, statement);
        if (sqlite3_column_count(statement.Handle()) == 0) {
            RunToEnd(statement);
            return nullptr;
        }
        // The first step makes every change of an INSERT ... RETURNING, so that they happen,
        // and fail, within this call rather than at the first read.
        return std::make_unique<SqliteResult>(db_, statement.Release(), false, std::u16string(),
                                              nullptr);
    }

    void BeginTransaction() override { Execute(u"BEGIN"); }

    void Commit() override {
        try {
            Execute(u"COMMIT");
        } catch (const Exception&) {
            // A COMMIT that fails (the database is busy) leaves the transaction open; the
            // connection goes back to committing each statement, without these changes.
            try {
                Rollback();
            } catch (const Exception&) {
            }
            throw;
        }
    }

    void Rollback() override {
        // The engine itself rolls back on some errors (a full disk, say); then nothing is left
        // to undo.
        if (!sqlite3_get_autocommit(db_))
            Execute(u"ROLLBACK");
    }

    std::vector<std::vector<std::u16string>> UniqueKeys(std::u16string_view schema,
                                                        std::u16string_view table) override {
        std::u16string database = schema.empty() ? u"main" : std::u16string(schema);
        std::vector<std::vector<std::u16string>> keys;
        std::vector<std::u16string> primary;
        Query(u"SELECT name FROM pragma_table_info(?, ?) WHERE pk > 0 ORDER BY pk",
              {Text(table), Text(database)},
              [&](sqlite3_stmt* row) { primary.push_back(Utf16(sqlite3_column_text16(row, 0))); });
        if (!primary.empty())
            keys.push_back(std::move(primary));

        std::vector<std::u16string> indexes;
        Query(u"SELECT name FROM pragma_index_list(?, ?) WHERE \"unique\" AND NOT partial "
              u"ORDER BY seq DESC",
              {Text(table), Text(database)},
              [&](sqlite3_stmt* row) { indexes.push_back(Utf16(sqlite3_column_text16(row, 0))); });
        for (const auto& index : indexes) {
            std::vector<std::u16string> columns;
            bool expression = false;
            Query(u"SELECT name FROM pragma_index_info(?, ?) ORDER BY seqno",
                  {Text(index), Text(database)}, [&](sqlite3_stmt* row) {
                      if (sqlite3_column_type(row, 0) == SQLITE_NULL)
                          expression = true;
                      else
                          columns.push_back(Utf16(sqlite3_column_text16(row, 0)));
                  });
            if (!expression && !columns.empty() && !SameKey(keys, columns))
                keys.push_back(std::move(columns));
        }
        return keys;
    }

    SqlDialect Dialect() override {
        SqlDialect dialect;
        dialect.quoteOpen = dialect.quoteClose = u'"';
        dialect.insertReturning = SqlDialect::InsertReturning::Returning;
        dialect.namesIgnoreCase = true;
        return dialect;
    }

private:
    static BoundValue Text(std::u16string_view text) {
        BoundValue bound;
        bound.type = TFieldType::WideString;
        bound.value = CellValue::OfText(text);
        return bound;
    }

    // Whether `keys` has one of the same columns, in any order.
    static bool SameKey(const std::vector<std::vector<std::u16string>>& keys,
                        std::vector<std::u16string> columns) {
        auto sorted = [](std::vector<std::u16string> names) {
            for (auto& name : names)
                for (auto& c : name)
                    c = ToLowerChar(c);
            std::sort(names.begin(), names.end());
            return names;
        };
        columns = sorted(std::move(columns));
        return std::any_of(keys.begin(), keys.end(),
                           [&](const auto& key) { return sorted(key) == columns; });
    }

    template <typename Each>
    void Query(std::u16string_view sql, const std::vector<BoundValue>& values, Each each) {
        Statement statement;
        PrepareOne(sql, values, statement);
        int rc;
        while ((rc = sqlite3_step(statement.Handle())) == SQLITE_ROW)
            each(statement.Handle());
        if (rc != SQLITE_DONE)
            RaiseError(db_);
    }

    void RunToEnd(Statement& statement) {
        int rc;
        while ((rc = sqlite3_step(statement.Handle())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            RaiseError(db_);
    }

    long long RunCounted(Statement& statement) {
        auto before = sqlite3_total_changes64(db_);
        RunToEnd(statement);
        // changes() keeps the count of the last data change, so a statement that changed
        // nothing (a CREATE, say) must not repeat it.
        return sqlite3_total_changes64(db_) != before ? sqlite3_changes64(db_) : 0;
    }

    // Prepares a text of exactly one statement and binds its markers to `values`.
    void PrepareOne(std::u16string_view sql, const std::vector<BoundValue>& values,
                    Statement& statement) {
        if (sql.size() > std::size_t(INT_MAX / 2))
            throw Exception(u"The statement is too long");
        const void* tail = nullptr;
        if (sqlite3_prepare16_v3(db_, sql.data(), int(sql.size() * sizeof(char16_t)), 0,
                                 &statement.Handle(), &tail) != SQLITE_OK)
            RaiseError(db_);
        if (!statement.Handle())
            throw Exception(u"The statement is empty");
        std::size_t used = std::size_t(static_cast<const char16_t*>(tail) - sql.data());
        if (!OnlyCommentsLeft(sql.substr(used)))
            throw Exception(u"Only one statement can be run with values");
        Bind(db_, statement.Handle(), values);
    }

    // The same SELECT with its table's rowid as a further, last column, prepared; or null when
    // its rows are not each one row of one table, or the table has no rowid of its own.
    sqlite3_stmt* WithRowId(sqlite3_stmt* original, std::u16string_view text) {
        SingleTableSelect select;
        if (!sqlite3_stmt_readonly(original) || !ScanSingleTableSelect(text, select))
            return nullptr;
        int count = sqlite3_column_count(original);
        std::vector<Origin> origins;
        const Origin* table = nullptr;
        for (int i = 0; i < count; ++i)
            origins.emplace_back(original, i);
        for (const Origin& origin : origins) {
            if (origin.table.empty())
                continue;
            if (table && !origin.SameTable(*table))
                return nullptr;
            table = &origin;
        }
        if (!table || !SameText(table->table, select.table) ||
            (!select.schema.empty() && !SameText(table->database, select.schema)) ||
            SelectsPrimaryKey(origins, *table) || IsAggregate(text) ||
            HasColumnNamedRowId(table->database, table->table))
            return nullptr;

        std::u16string rewritten(text.substr(0, select.fromAt));
        rewritten += u", " +
                     Enclosed(select.alias.empty() ? table->table : select.alias, u'"', u'"') +
                     u".rowid ";
        rewritten += text.substr(select.fromAt);
        Statement statement;
        if (sqlite3_prepare16_v3(db_, rewritten.data(), int(rewritten.size() * sizeof(char16_t)), 0,
                                 &statement.Handle(), nullptr) != SQLITE_OK ||
            !statement.Handle() || sqlite3_column_count(statement.Handle()) != count + 1 ||
            !Origin(statement.Handle(), count).SameTable(*table))
            return nullptr;
        for (int i = 0; i < count; ++i)
            if (!(Origin(statement.Handle(), i) == origins[std::size_t(i)]) ||
                Utf16(sqlite3_column_name16(statement.Handle(), i)) !=
                    Utf16(sqlite3_column_name16(original, i)))
                return nullptr;
        return statement.Release();
    }

    // Whether the statement folds rows together (an aggregate without GROUP BY), which only
    // its program shows.
    bool IsAggregate(std::u16string_view text) {
        Statement explain;
        std::u16string sql = u"EXPLAIN " + std::u16string(text);
        if (sqlite3_prepare16_v3(db_, sql.data(), int(sql.size() * sizeof(char16_t)), 0,
                                 &explain.Handle(), nullptr) != SQLITE_OK ||
            !explain.Handle())
            return true;
        while (sqlite3_step(explain.Handle()) == SQLITE_ROW) {
            auto* opcode = reinterpret_cast<const char*>(sqlite3_column_text(explain.Handle(), 1));
            if (opcode && std::string_view(opcode).starts_with("Agg"))
                return true;
        }
        return false;
    }

    // A result that carries its table's primary key can be written back by it; a rowid would
    // only cost a column on every row.
    bool SelectsPrimaryKey(const std::vector<Origin>& origins, const Origin& table) {
        bool all = true, any = false;
        Query(u"SELECT name FROM pragma_table_info(?, ?) WHERE pk > 0",
              {Text(table.table), Text(table.database)}, [&](sqlite3_stmt* row) {
                  std::u16string name = Utf16(sqlite3_column_text16(row, 0));
                  any = true;
                  all = all && std::any_of(origins.begin(), origins.end(), [&](const Origin& o) {
                            return o.SameTable(table) && SameText(o.column, name);
                        });
              });
        return any && all;
    }

    // The one statement `text` prepared once more into `statement`.
    void PrepareAgain(std::u16string_view text, Statement& statement) {
        sqlite3_finalize(statement.Release());
        if (sqlite3_prepare16_v3(db_, text.data(), int(text.size() * sizeof(char16_t)), 0,
                                 &statement.Handle(), nullptr) != SQLITE_OK)
            RaiseError(db_);
        if (!statement.Handle())
            throw Exception(u"The statement is empty");
    }

    bool HasColumnNamedRowId(const std::u16string& database, const std::u16string& table) {
        bool found = false;
        Query(u"SELECT 1 FROM pragma_table_xinfo(?, ?) WHERE name = 'rowid' COLLATE NOCASE",
              {Text(table), Text(database)}, [&](sqlite3_stmt*) { found = true; });
        return found;
    }

    // Prepares the text's statements one after another and hands each, with its own text and
    // the text after it, to `use`, until `use` returns true or the text ends.
    template <typename Use> void Run(std::u16string_view sql, Use use) {
        const char16_t* next = sql.data();
        const char16_t* end = sql.data() + sql.size();
        while (next < end) {
            Statement statement;
            const void* tail = nullptr;
            int bytes = int((end - next) * sizeof(char16_t));
            if (sqlite3_prepare16_v3(db_, next, bytes, 0, &statement.Handle(), &tail) != SQLITE_OK)
                RaiseError(db_);
            std::u16string_view text(next, std::size_t(static_cast<const char16_t*>(tail) - next));
            next = static_cast<const char16_t*>(tail);
            std::u16string_view rest(next, std::size_t(end - next));
            if (!statement.Handle())
                continue; // blanks or a comment
            // The engine would quietly take unset parameters as NULL; other databases refuse
            // them, and a statement meant for values should not run without them.
            if (sqlite3_bind_parameter_count(statement.Handle()) > 0)
                throw Exception(u"No value given for one or more required parameters.");
            if (use(statement, text, rest))
                return;
        }
    }

    sqlite3* db_ = nullptr;
};

} // namespace

std::unique_ptr<DriverConnection> ConnectSqlite(std::u16string_view path) {
    // The engine would open a private temporary database for an empty name, which looks like
    // success but keeps nothing.
    if (path.empty())
        throw Exception(u"No database file given: type the path of the SQLite database in "
                        u"Database");
    return std::make_unique<SqliteConnection>(path);
}

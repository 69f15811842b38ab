#include <sqlite3.h>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/Driver.h"
#include "data/IsoDateTime.h"

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

class Statement {
public:
    Statement() = default;
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
    SqliteResult(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {
        int count = sqlite3_column_count(stmt);
        columns_.resize(count);
        for (int i = 0; i < count; ++i) {
            ColumnInfo& column = columns_[i];
            column.name = Utf16(sqlite3_column_name16(stmt, i));
            Classify(sqlite3_column_decltype(stmt, i), column);
            column.baseTable = Utf16(sqlite3_column_table_name16(stmt, i));
            column.baseColumn = Utf16(sqlite3_column_origin_name16(stmt, i));
            // Only a table's own column can be written back; expressions cannot.
            column.readOnly = column.baseColumn.empty();
        }
    }
    ~SqliteResult() override { sqlite3_finalize(stmt_); }

    const std::vector<ColumnInfo>& Columns() const override { return columns_; }

    bool Fetch(std::vector<CellValue>& row) override {
        if (done_)
            return false;
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_DONE) {
            done_ = true;
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
        switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER:
            return CellValue::OfInteger(sqlite3_column_int64(stmt_, i));
        case SQLITE_FLOAT:
            return CellValue::OfReal(sqlite3_column_double(stmt_, i));
        case SQLITE_TEXT: {
            auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt_, i));
            std::u16string_view view(text, sqlite3_column_bytes16(stmt_, i) / 2);
            TDateTime when;
            if (IsDateKind(columns_[i].type) && ParseIsoDateTime(view, when))
                return CellValue::OfDateTime(when);
            return CellValue::OfText(view);
        }
        case SQLITE_BLOB: {
            auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, i));
            return CellValue::OfBytes(std::string_view(bytes, sqlite3_column_bytes(stmt_, i)));
        }
        default:
            return CellValue::Null();
        }
    }

    sqlite3* db_;
    sqlite3_stmt* stmt_;
    std::vector<ColumnInfo> columns_;
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
        std::unique_ptr<DriverResult> result;
        Run(sql, [&](Statement& statement) {
            if (sqlite3_column_count(statement.Handle()) == 0) {
                RunToEnd(statement);
                return false;
            }
            result = std::make_unique<SqliteResult>(db_, statement.Release());
            return true;
        });
        return result;
    }

    long long Execute(std::u16string_view sql) override {
        long long affected = 0;
        Run(sql, [&](Statement& statement) {
            auto before = sqlite3_total_changes64(db_);
            RunToEnd(statement);
            // changes() keeps the count of the last data change, so a statement that changed
            // nothing (a CREATE, say) must not repeat it.
            if (sqlite3_total_changes64(db_) != before)
                affected += sqlite3_changes64(db_);
            return false;
        });
        return affected;
    }

private:
    void RunToEnd(Statement& statement) {
        int rc;
        while ((rc = sqlite3_step(statement.Handle())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            RaiseError(db_);
    }

    // Prepares the text's statements one after another and hands each to `use`, until `use`
    // returns true or the text ends.
    template <typename Use> void Run(std::u16string_view sql, Use use) {
        const char16_t* next = sql.data();
        const char16_t* end = sql.data() + sql.size();
        while (next < end) {
            Statement statement;
            const void* tail = nullptr;
            int bytes = int((end - next) * sizeof(char16_t));
            if (sqlite3_prepare16_v3(db_, next, bytes, 0, &statement.Handle(), &tail) != SQLITE_OK)
                RaiseError(db_);
            next = static_cast<const char16_t*>(tail);
            if (!statement.Handle())
                continue; // blanks or a comment
            // The engine would quietly take unset parameters as NULL; other databases refuse
            // them, and a statement meant for values should not run without them.
            if (sqlite3_bind_parameter_count(statement.Handle()) > 0)
                throw Exception(u"No value given for one or more required parameters.");
            if (use(statement))
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

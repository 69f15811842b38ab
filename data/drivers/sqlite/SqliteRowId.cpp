#include "data/drivers/sqlite/SqliteRowId.h"

#include <algorithm>
#include <string>
#include <vector>

#include "data/SingleTableSelect.h"
#include "data/drivers/sqlite/SqliteCatalog.h"

namespace {

// The table column a result column shows; empty parts for an expression.
struct Origin {
    std::u16string database, table, column;

    explicit Origin(sqlite3_stmt* stmt, int i)
        : database(SqliteText(sqlite3_column_database_name16(stmt, i))),
          table(SqliteText(sqlite3_column_table_name16(stmt, i))),
          column(SqliteText(sqlite3_column_origin_name16(stmt, i))) {}
    bool SameTable(const Origin& other) const {
        return database == other.database && table == other.table;
    }
    bool operator==(const Origin&) const = default;
};

// Whether the statement folds rows together (an aggregate without GROUP BY), which only its
// program shows.
bool IsAggregate(sqlite3* db, std::u16string_view text) {
    SqliteStatement explain = PrepareSqlite(db, u"EXPLAIN " + std::u16string(text));
    if (!explain)
        return true;
    while (sqlite3_step(explain.Get()) == SQLITE_ROW) {
        auto* opcode = reinterpret_cast<const char*>(sqlite3_column_text(explain.Get(), 1));
        if (opcode && std::string_view(opcode).starts_with("Agg"))
            return true;
    }
    return false;
}

// A result that carries its table's primary key can be written back by it; a rowid would
// only cost a column on every row.
bool SelectsPrimaryKey(sqlite3* db, const std::vector<Origin>& origins, const Origin& table) {
    const SqlDialect dialect = SqliteDialect();
    std::vector<std::u16string> key = SqlitePrimaryKey(db, table.database, table.table);
    return !key.empty() && std::all_of(key.begin(), key.end(), [&](const std::u16string& name) {
        return std::any_of(origins.begin(), origins.end(), [&](const Origin& o) {
            return o.SameTable(table) && dialect.SameName(o.column, name);
        });
    });
}

} // namespace

SqliteStatement WithRowId(sqlite3* db, sqlite3_stmt* original, std::u16string_view text) {
    SingleTableSelect select;
    if (!sqlite3_stmt_readonly(original) || !ScanSingleTableSelect(text, select))
        return {};
    int count = sqlite3_column_count(original);
    std::vector<Origin> origins;
    const Origin* table = nullptr;
    for (int i = 0; i < count; ++i)
        origins.emplace_back(original, i);
    for (const Origin& origin : origins) {
        if (origin.table.empty())
            continue;
        if (table && !origin.SameTable(*table))
            return {};
        table = &origin;
    }
    const SqlDialect dialect = SqliteDialect();
    if (!table || !dialect.SameName(table->table, select.table) ||
        (!select.schema.empty() && !dialect.SameName(table->database, select.schema)) ||
        SelectsPrimaryKey(db, origins, *table) || IsAggregate(db, text) ||
        HasColumnNamedRowId(db, table->database, table->table))
        return {};

    std::u16string rewritten(text.substr(0, select.fromAt));
    rewritten +=
        u", " + dialect.Quoted(select.alias.empty() ? table->table : select.alias) + u".rowid ";
    rewritten += text.substr(select.fromAt);
    SqliteStatement statement = PrepareSqlite(db, rewritten);
    if (!statement || sqlite3_column_count(statement.Get()) != count + 1 ||
        !Origin(statement.Get(), count).SameTable(*table))
        return {};
    for (int i = 0; i < count; ++i)
        if (!(Origin(statement.Get(), i) == origins[std::size_t(i)]) ||
            SqliteText(sqlite3_column_name16(statement.Get(), i)) !=
                SqliteText(sqlite3_column_name16(original, i)))
            return {};
    return statement;
}

#include "data/drivers/odbc/OdbcCatalog.h"

#include <algorithm>
#include <climits>

#include "data/drivers/odbc/OdbcCancel.h"
#include "data/drivers/odbc/OdbcHandle.h"

namespace {

bool FetchRow(const OdbcHandle& statement) {
    SQLRETURN rc = SQLFetch(statement.Get());
    if (rc == SQL_NO_DATA)
        return false;
    statement.Check(rc, u"SQLFetch");
    return true;
}

// A text column of a catalog function's row; false for NULL.
bool GetText(const OdbcHandle& statement, SQLUSMALLINT column, std::u16string& text) {
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

long long GetInteger(const OdbcHandle& statement, SQLUSMALLINT column) {
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    statement.Check(
        SQLGetData(statement.Get(), column, SQL_C_SBIGINT, &value, sizeof value, &indicator),
        u"SQLGetData");
    return indicator == SQL_NULL_DATA ? 0 : value;
}

struct KeyColumn {
    long long ordinal;
    std::u16string name;
};

std::vector<std::u16string> InOrder(std::vector<KeyColumn>& columns) {
    std::stable_sort(columns.begin(), columns.end(),
                     [](const auto& a, const auto& b) { return a.ordinal < b.ordinal; });
    std::vector<std::u16string> names;
    for (auto& column : columns)
        names.push_back(std::move(column.name));
    return names;
}

// The arguments of a catalog function that names one table.
class TableArguments {
public:
    TableArguments(std::u16string_view schema, std::u16string_view table)
        : schema_(schema), table_(table) {}
    // No schema: wherever the database finds the table by its name.
    SQLWCHAR* Schema() { return schema_.empty() ? nullptr : Wide(schema_.data()); }
    SQLSMALLINT SchemaLength() const { return SQLSMALLINT(schema_.size()); }
    SQLWCHAR* Table() { return Wide(table_.data()); }
    SQLSMALLINT TableLength() const { return SQLSMALLINT(table_.size()); }

private:
    std::u16string schema_, table_;
};

std::vector<std::u16string> PrimaryKey(const OdbcHandle& dbc, OdbcCancel& cancel,
                                       TableArguments& args) {
    OdbcHandle statement = OdbcStatement(dbc);
    OdbcCancel::Wait wait(cancel, statement);
    statement.Check(SQLPrimaryKeysW(statement.Get(), nullptr, 0, args.Schema(), args.SchemaLength(),
                                    args.Table(), args.TableLength()),
                    u"SQLPrimaryKeys");
    std::vector<KeyColumn> primary;
    std::u16string column;
    while (FetchRow(statement))
        if (GetText(statement, 4, column))
            primary.push_back({GetInteger(statement, 5), column});
    return InOrder(primary);
}

struct Index {
    std::u16string qualifier, name;
    std::vector<KeyColumn> columns;
    bool usable = true;
};

std::vector<Index> UniqueIndexes(const OdbcHandle& dbc, OdbcCancel& cancel, TableArguments& args) {
    std::vector<Index> indexes;
    OdbcHandle statement = OdbcStatement(dbc);
    OdbcCancel::Wait wait(cancel, statement);
    statement.Check(SQLStatisticsW(statement.Get(), nullptr, 0, args.Schema(), args.SchemaLength(),
                                   args.Table(), args.TableLength(), SQL_INDEX_UNIQUE, SQL_QUICK),
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
    return indexes;
}

// The table's columns. Some drivers (psqlODBC) name an index's expression as if it were a
// column, which this tells apart.
std::vector<std::u16string> TableColumns(const OdbcHandle& dbc, OdbcCancel& cancel,
                                         const SqlDialect& dialect, TableArguments& args,
                                         std::u16string_view schema, std::u16string_view table) {
    std::vector<std::u16string> columns;
    OdbcHandle statement = OdbcStatement(dbc);
    OdbcCancel::Wait wait(cancel, statement);
    statement.Check(SQLColumnsW(statement.Get(), nullptr, 0, args.Schema(), args.SchemaLength(),
                                args.Table(), args.TableLength(), nullptr, 0),
                    u"SQLColumns");
    // The names are patterns here, where "_" stands for any character.
    std::u16string rowSchema, rowTable, column;
    while (FetchRow(statement)) {
        GetText(statement, 2, rowSchema);
        GetText(statement, 3, rowTable);
        if (dialect.SameName(rowTable, table) &&
            (schema.empty() || dialect.SameName(rowSchema, schema)) &&
            GetText(statement, 4, column))
            columns.push_back(column);
    }
    return columns;
}

} // namespace

std::vector<std::vector<std::u16string>>
OdbcUniqueKeys(const OdbcHandle& dbc, OdbcCancel& cancel, const SqlDialect& dialect,
               std::u16string_view schema, std::u16string_view table,
               const std::vector<std::u16string>& partialIndexes) {
    if (schema.size() > std::size_t(SHRT_MAX) || table.size() > std::size_t(SHRT_MAX))
        return {};
    TableArguments args(schema, table);
    std::vector<std::vector<std::u16string>> keys;
    std::vector<std::u16string> primary = PrimaryKey(dbc, cancel, args);
    if (!primary.empty())
        keys.push_back(std::move(primary));
    std::vector<Index> indexes = UniqueIndexes(dbc, cancel, args);
    std::vector<std::u16string> tableColumns =
        TableColumns(dbc, cancel, dialect, args, schema, table);
    auto isColumn = [&](const KeyColumn& column) {
        return std::any_of(tableColumns.begin(), tableColumns.end(),
                           [&](const auto& name) { return dialect.SameName(name, column.name); });
    };
    for (auto& index : indexes) {
        if (!index.usable || index.columns.empty() ||
            std::find(partialIndexes.begin(), partialIndexes.end(), index.name) !=
                partialIndexes.end() ||
            !std::all_of(index.columns.begin(), index.columns.end(), isColumn))
            continue;
        std::vector<std::u16string> key = InOrder(index.columns);
        if (!dialect.HasKey(keys, key))
            keys.push_back(std::move(key));
    }
    return keys;
}

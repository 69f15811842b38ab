#include "data/drivers/sqlite/SqliteCatalog.h"

#include "data/drivers/sqlite/SqliteStatement.h"

SqlDialect SqliteDialect() {
    SqlDialect dialect;
    dialect.quoteOpen = dialect.quoteClose = u'"';
    dialect.insertReturning = SqlDialect::InsertReturning::Returning;
    dialect.namesIgnoreCase = true;
    return dialect;
}

std::vector<std::vector<std::u16string>> SqliteUniqueKeys(sqlite3* db, std::u16string_view schema,
                                                          std::u16string_view table) {
    std::u16string database = schema.empty() ? u"main" : std::u16string(schema);
    std::vector<std::vector<std::u16string>> keys;
    std::vector<std::u16string> primary = SqlitePrimaryKey(db, database, table);
    if (!primary.empty())
        keys.push_back(std::move(primary));

    std::vector<std::u16string> indexes;
    ForEachRow(db,
               u"SELECT name FROM pragma_index_list(?, ?) WHERE \"unique\" AND NOT partial "
               u"ORDER BY seq DESC",
               {BoundValue::OfText(table), BoundValue::OfText(database)}, [&](sqlite3_stmt* row) {
                   indexes.push_back(SqliteText(sqlite3_column_text16(row, 0)));
               });
    const SqlDialect dialect = SqliteDialect();
    for (const auto& index : indexes) {
        std::vector<std::u16string> columns;
        bool expression = false;
        ForEachRow(db, u"SELECT name FROM pragma_index_info(?, ?) ORDER BY seqno",
                   {BoundValue::OfText(index), BoundValue::OfText(database)},
                   [&](sqlite3_stmt* row) {
                       if (sqlite3_column_type(row, 0) == SQLITE_NULL)
                           expression = true;
                       else
                           columns.push_back(SqliteText(sqlite3_column_text16(row, 0)));
                   });
        if (!expression && !columns.empty() && !dialect.HasKey(keys, columns))
            keys.push_back(std::move(columns));
    }
    return keys;
}

std::vector<std::u16string> SqlitePrimaryKey(sqlite3* db, std::u16string_view database,
                                             std::u16string_view table) {
    std::vector<std::u16string> names;
    ForEachRow(db, u"SELECT name FROM pragma_table_info(?, ?) WHERE pk > 0 ORDER BY pk",
               {BoundValue::OfText(table), BoundValue::OfText(database)}, [&](sqlite3_stmt* row) {
                   names.push_back(SqliteText(sqlite3_column_text16(row, 0)));
               });
    return names;
}

bool HasColumnNamedRowId(sqlite3* db, std::u16string_view database, std::u16string_view table) {
    bool found = false;
    ForEachRow(db, u"SELECT 1 FROM pragma_table_xinfo(?, ?) WHERE name = 'rowid' COLLATE NOCASE",
               {BoundValue::OfText(table), BoundValue::OfText(database)},
               [&](sqlite3_stmt*) { found = true; });
    return found;
}

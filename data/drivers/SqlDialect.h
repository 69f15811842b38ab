#pragma once

#include <string>
#include <string_view>
#include <vector>

// What differs between databases in the statements that write rows back.
struct SqlDialect {
    char16_t quoteOpen = u'"';
    char16_t quoteClose = u'"';
    // How an INSERT hands back the row as stored (the new key, defaults): "RETURNING c1, c2"
    // after the values (SQLite, PostgreSQL), "OUTPUT INSERTED.c1, INSERTED.c2" before them
    // (SQL Server), or not at all.
    enum class InsertReturning { None, Returning, Output };
    InsertReturning insertReturning = InsertReturning::None;
    // Whether the database takes two names that differ only in case for the same column
    // (SQLite, SQL Server's usual collations); where it does not (PostgreSQL's and Oracle's
    // quoted names), a key column is found by its exact name.
    bool namesIgnoreCase = false;

    // The name quoted, each closing quote in it doubled.
    std::u16string Quoted(std::u16string_view name) const;
    // Whether two names stand for the same column or table here: by namesIgnoreCase.
    bool SameName(std::u16string_view a, std::u16string_view b) const;
    // Whether `keys` holds one of the same columns as `key`, in any order, by SameName.
    bool HasKey(const std::vector<std::vector<std::u16string>>& keys,
                const std::vector<std::u16string>& key) const;
};

#pragma once

#include <cstdint>
#include <string>

#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "platform/Platform.h"

// Statements run on a query and results read back as text, the same in the native and the
// Windows tests.

inline std::int32_t Execute(TADOQuery& query, const std::u16string& sql) {
    query.SetSQL({sql});
    return query.ExecSQL();
}

inline void Open(TADOQuery& query, const std::u16string& sql) {
    query.SetSQL({sql});
    query.Open();
}

// Every row of an open query from the first, fields joined by "|" and rows by "/", so that a
// whole result compares in one line. Leaves the query at its end.
inline std::string RowsText(TADOQuery& query) {
    std::string text;
    for (query.First(); !query.Eof(); query.Next()) {
        if (!text.empty())
            text += "/";
        for (int i = 0; i < query.FieldCount(); ++i) {
            if (i)
                text += "|";
            text += ToUtf8(query.Fields(i).AsString());
        }
    }
    return text;
}

// The fields' names in the query's field order, joined by "|".
inline std::string FieldNames(const TADOQuery& query) {
    std::string names;
    for (int i = 0; i < query.FieldCount(); ++i) {
        if (i)
            names += "|";
        names += ToUtf8(query.Fields(i).FieldName());
    }
    return names;
}

// What `sql` returns on a connection of its own, as another user would read it, shown by the
// formats of `platform`.
inline std::string TableText(const Platform& platform, const std::u16string& connectionString,
                             const std::u16string& sql) {
    TADOConnection connection;
    connection.SetConnectionString(connectionString);
    TADOQuery query(platform);
    query.SetConnection(&connection);
    Open(query, sql);
    return RowsText(query);
}

#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "base/Runtime.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "tests/QuerySupport.h"

// A query on a fresh SQLite file, reached through the connection string as the program
// builds it, with the user's formats fixed to "M/d/yyyy", "h:mm:ss tt" and ".".
class SqliteQueryFixture : public ::testing::Test {
protected:
    SqliteQueryFixture() {
        FormatSettings.ShortDateFormat = u"M/d/yyyy";
        FormatSettings.LongTimeFormat = u"h:mm:ss tt";
        FormatSettings.DecimalSeparator = u'.';
        connection.SetConnectionString(u"Provider=SQLite;Data Source=" +
                                       FromUtf8(folder.File("test.db").string()));
        query.SetConnection(&connection);
    }

    // Runs a statement on the query and returns the count of rows it changed.
    std::int32_t Execute(const std::u16string& sql) { return ::Execute(query, sql); }
    void Open(const std::u16string& sql) { ::Open(query, sql); }

    TempFolder folder;
    TADOConnection connection;
    TADOQuery query;
};

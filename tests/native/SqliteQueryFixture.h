#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "platform/FakePlatform.h"
#include "tests/QuerySupport.h"

// A query on a fresh SQLite file, reached through the connection string as the program
// builds it, with the user's formats those of the fake platform: "M/d/yyyy", "h:mm:ss tt" and
// ".".
class SqliteQueryFixture : public ::testing::Test {
protected:
    SqliteQueryFixture() {
        connection.SetConnectionString(u"Provider=SQLite;Data Source=" +
                                       FromUtf8(folder.File("test.db").string()));
        query.SetConnection(&connection);
    }

    // Runs a statement on the query and returns the count of rows it changed.
    std::int32_t Execute(const std::u16string& sql) { return ::Execute(query, sql); }
    void Open(const std::u16string& sql) { ::Open(query, sql); }

    TempFolder folder;
    FakePlatform platform;
    TADOConnection connection;
    TADOQuery query{platform};
};

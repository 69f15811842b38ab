#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "PostgresFixture.h"
#include "TempFolder.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "platform/FakePlatform.h"
#include "tests/QuerySupport.h"

enum class Backend { Sqlite, Postgres };

// A test run alike on the embedded SQLite engine and on PostgreSQL through psqlODBC: a query
// on each of two connections, the second playing the other user. On PostgreSQL each test has
// a schema of its own, since tests run side by side on the one server; without the server the
// PostgreSQL runs skip, unless it is required.
class BackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        if (GetParam() == Backend::Sqlite) {
            text = u"Provider=SQLite;Data Source=" + FromUtf8(folder.File("test.db").string());
        } else {
            text = PostgresConnectionString();
            if (text.empty()) {
                if (std::getenv("QRYDESK_PG_REQUIRED"))
                    FAIL() << "QRYDESK_PG_PORT is not set";
                GTEST_SKIP() << "QRYDESK_PG_PORT is not set";
            }
        }
        connection.SetConnectionString(text);
        other.SetConnectionString(text);
        query.SetConnection(&connection);
        otherQuery.SetConnection(&other);
        if (Pg()) {
            schema = u"t" + FromUtf8(std::to_string(getpid()));
            Run(u"drop schema if exists " + schema + u" cascade; create schema " + schema);
            for (TADOQuery* q : {&query, &otherQuery})
                Execute(*q, u"set search_path to " + schema);
        }
    }

    void TearDown() override {
        if (!schema.empty())
            Run(u"drop schema " + schema + u" cascade");
    }

    // Whether the derived set-up should go on.
    bool Ready() const { return !IsSkipped() && !HasFatalFailure(); }
    bool Pg() const { return GetParam() == Backend::Postgres; }
    // Runs a statement as the other user.
    void Run(const std::u16string& sql) { Execute(otherQuery, sql); }

    TempFolder folder;
    std::u16string text, schema;
    FakePlatform platform; // "M/d/yyyy", "h:mm:ss tt" and "."
    TADOConnection connection, other;
    TADOQuery query{platform}, otherQuery{platform};
};

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "base/Text.h"
#include "data/drivers/Driver.h"

// The server scripts/test starts, as the program reaches it: through psqlODBC, which the routing
// asks to stream. Empty without the server.
inline std::u16string PostgresConnectionString() {
    const char* port = std::getenv("QRYDESK_PG_PORT");
    if (!port || !*port)
        return {};
    return u"Provider=MSDASQL;Extended Properties='Driver={PostgreSQL Unicode};"
           u"Server=127.0.0.1;Port=" +
           FromUtf8(port) + u";Database=postgres;UID=postgres'";
}

// The server scripts/test starts; without it the tests skip, unless they are required.
class PostgresFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const char* port = std::getenv("QRYDESK_PG_PORT");
        if (!port || !*port) {
            if (std::getenv("QRYDESK_PG_REQUIRED"))
                FAIL() << "QRYDESK_PG_PORT is not set";
            GTEST_SKIP() << "QRYDESK_PG_PORT is not set";
        }
        db = Connect();
    }

    static std::unique_ptr<DriverConnection> Connect() {
        return ConnectDriver(PostgresConnectionString(), 15);
    }

    std::unique_ptr<DriverConnection> db;
};

#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "base/Runtime.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"

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

    TempFolder folder;
    TADOConnection connection;
    TADOQuery query;
};

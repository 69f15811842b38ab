#include <gtest/gtest.h>

#include "SqliteQueryFixture.h"

// Typed text as it reaches a SQLite file through the query.

namespace {

class TypedValueStored : public SqliteQueryFixture {};

TEST_F(TypedValueStored, SqliteTakesSixtyFourBitIntegersAndKeepsUndeclaredKinds) {
    Execute(u"create table t (id integer primary key, n integer, v, r)");
    Execute(u"insert into t values (1, 1, 42, 2.5)");
    Open(u"select id, n, v, r from t");
    query.Fields(0).SetText(u"3000000000");
    query.Fields(1).SetText(u"-3000000000");
    query.Fields(2).SetText(u"43");
    query.Fields(3).SetText(u"7");
    query.Post();
    Open(u"select id, n, v, typeof(v), r, typeof(r) from t");
    EXPECT_EQ(RowsText(query), "3000000000|-3000000000|43|integer|7|real");
}

TEST_F(TypedValueStored, ATimeOfDayInADateTimeColumnStaysATimeOfDay) {
    Execute(u"create table t (id integer primary key, at datetime)");
    Execute(u"insert into t values (1, '03:04:05')");
    Open(u"select id, at from t");
    EXPECT_EQ(RowsText(query), "1|3:04:05 AM");
    query.First();
    query.Fields(1).SetText(u"4:05:06 PM");
    query.Post();
    Open(u"select at from t");
    EXPECT_EQ(RowsText(query), "4:05:06 PM");
    Open(u"select typeof(at) || ' ' || at from t");
    EXPECT_EQ(RowsText(query), "text 16:05:06");
}

TEST_F(TypedValueStored, ShownTextTypedBackKeepsWhatItLeavesOut) {
    Execute(u"create table t (id integer primary key, at datetime, x real)");
    Execute(u"insert into t values (1, '2024-03-05 10:00:00.500', 0.1 + 0.2)");
    Open(u"select id, at, x from t");
    EXPECT_EQ(RowsText(query), "1|3/5/2024 10:00:00 AM|0.3");
    query.First();
    query.Fields(1).SetText(u"3/5/2024 10:00:00 AM");
    query.Fields(2).SetText(u"0.3");
    query.Post();
    Open(u"select at, x = 0.1 + 0.2, x = 0.3 from t");
    EXPECT_EQ(RowsText(query), "3/5/2024 10:00:00 AM|1|0");
    Open(u"select at from t where at = '2024-03-05 10:00:00.500'");
    EXPECT_EQ(RowsText(query), "3/5/2024 10:00:00 AM");
}

} // namespace

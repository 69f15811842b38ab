#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sqlite3.h>

#include "MessageOf.h"
#include "SqliteQueryFixture.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "data/DataSource.h"

namespace {

class ADOQueryTest : public SqliteQueryFixture {
protected:
    std::string Rows() { return RowsText(query); }
    std::string Names() { return FieldNames(query); }
};

TEST_F(ADOQueryTest, OpenReadsRowsAndStatementsOpenTheConnection) {
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(Execute(u"create table t (id integer primary key, name varchar(20))"), 0);
    EXPECT_TRUE(connection.Connected()) << "a statement opens a closed connection";
    EXPECT_EQ(Execute(u"insert into t values (1, 'one'), (2, 'two'), (3, NULL)"), 3);
    EXPECT_EQ(Execute(u"update t set name = name || '!' where id < 3"), 2);

    Open(u"select * from t order by id");
    ASSERT_TRUE(query.Active());
    EXPECT_EQ(Names(), "id|name");
    EXPECT_EQ(query.Fields(1).DataType(), TFieldType::WideString);
    EXPECT_EQ(query.Fields(1).Size(), 20);
    EXPECT_EQ(Rows(), "1|one!/2|two!/3|");
    EXPECT_TRUE(query.Eof());

    Open(u"select * from t where id > 10");
    EXPECT_TRUE(query.Eof()) << "an empty result is at its end at once";
    EXPECT_EQ(Names(), "id|name");
}

// The query holds the platform's formats, not a copy of them: when the user changes them, an
// open result shows and reads by the new ones at once.
TEST_F(ADOQueryTest, ValuesFollowTheUsersFormatsAsTheyChange) {
    Execute(u"create table f (id integer primary key, r real); insert into f values (1, 2.5)");
    Open(u"select id, r from f");
    EXPECT_EQ(Rows(), "1|2.5");
    platform.formats.DecimalSeparator = u',';
    EXPECT_EQ(Rows(), "1|2,5");
    query.First();
    query.Fields(1).SetText(u"1,25");
    query.Post();
    EXPECT_EQ(TableText(platform, connection.ConnectionString(), u"select r from f"), "1,25");
}

TEST_F(ADOQueryTest, SeveralStatementsAndTheirCounts) {
    EXPECT_EQ(Execute(u"create table t (x int); insert into t values (1), (2);\r\n"
                      u"insert into t select x + 10 from t; create index i on t (x)"),
              4)
        << "changes of each statement add up; the index adds none";
    Open(u"update t set x = x + 1; select count(*) as n from t; select 1");
    EXPECT_EQ(Rows(), "4") << "statements before the first result run; that result is kept";
    Open(u"select sum(x) from t");
    EXPECT_EQ(Rows(), "30");
}

// What follows the first result in the text runs as the result is opened, which reads it to
// its end; an error there is the Open's.
TEST_F(ADOQueryTest, TheRestOfABatchRunsWithItsResult) {
    Execute(u"create table r (id int, name text); insert into r values (1, 'one')");
    Open(u"select count(*) from r; insert into r values (8, 'eight') -- and a comment");
    EXPECT_EQ(Rows(), "1");
    Open(u"select id from r order by id; -- only a comment after it");
    EXPECT_EQ(query.FetchedCount(), 1u) << "nothing follows that needs the rows read";
    EXPECT_EQ(Rows(), "1/8");

    EXPECT_EQ(MessageOf([&] { Open(u"select 1; select * from nosuchtable"); }),
              "no such table: nosuchtable");
    EXPECT_FALSE(query.Active());
}

// Another program rebuilds the table between two opens: the second result has the table's new
// columns, each with its own values.
TEST_F(ADOQueryTest, ColumnsAreReadAsTheStatementRuns) {
    Execute(u"create table s (a int, b text); insert into s values (1, 'one')");
    Open(u"select * from s");
    EXPECT_EQ(Rows(), "1|one");
    TADOConnection other;
    other.SetConnectionString(connection.ConnectionString());
    TADOQuery otherQuery(platform);
    otherQuery.SetConnection(&other);
    ::Execute(otherQuery, u"drop table s; create table s (c real, b text, a int, d text); "
                          u"insert into s values (2.5, 'two', 2, 'new')");
    Open(u"select * from s");
    EXPECT_EQ(Names(), "c|b|a|d");
    EXPECT_EQ(Rows(), "2.5|two|2|new");
    query.Fields(3).SetText(u"changed");
    query.Post();
    EXPECT_EQ(TableText(platform, connection.ConnectionString(), u"select d from s"), "changed");

    // Rebuilt with a column of its own called rowid, the table's rows have nothing left to be
    // told apart by.
    ::Execute(otherQuery, u"drop table s; create table s (rowid text, a int); "
                          u"insert into s values ('x', 1), ('x', 2)");
    Open(u"select * from s");
    EXPECT_EQ(Rows(), "x|1/x|2");
    EXPECT_FALSE(query.CanModify());
}

TEST_F(ADOQueryTest, FieldNamesAreMadeUniqueWithoutRegardToCase) {
    Open(u"select 1 as \"\", 2 as \"\", 3 as id, 4 as ID, 5 as Id_1, 6 as column1");
    EXPECT_EQ(Names(), "COLUMN1|COLUMN2|id|ID_1|Id_1_1|column1_1");
}

TEST_F(ADOQueryTest, LayerErrorsCarryTheirFixedTexts) {
    EXPECT_EQ(MessageOf([&] { Execute(u"create table t (x int)"); }), "(no error)");
    query.SetSQL({});
    EXPECT_EQ(MessageOf([&] { query.ExecSQL(); }), "ADOQuery: Missing SQL property");
    EXPECT_EQ(MessageOf([&] { query.Open(); }), "ADOQuery: Missing SQL property");

    EXPECT_EQ(MessageOf([&] { Open(u"insert into t values (7)"); }),
              "ADOQuery: CommandText does not return a result set");
    EXPECT_FALSE(query.Active());
    Open(u"select x from t");
    EXPECT_EQ(Rows(), "7") << "the statement without a result has still run";

    query.Close();
    EXPECT_EQ(MessageOf([&] { query.First(); }),
              "ADOQuery: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(MessageOf([&] { query.Next(); }),
              "ADOQuery: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(MessageOf([&] { query.Fields(0); }),
              "ADOQuery: Cannot perform this operation on a closed dataset");
}

TEST_F(ADOQueryTest, DatabaseErrorsCarryTheDatabasesText) {
    EXPECT_EQ(MessageOf([&] { Open(u"select * from missing"); }), "no such table: missing");
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(MessageOf([&] { Execute(u"create table t (x int);\r\ninsert into t values (:x)"); }),
              "No value given for one or more required parameters.");
    EXPECT_EQ(ToUtf8(query.CommandText()),
              "create table t (x int);\r\ninsert into t values (?)\r\n");

    TADOConnection elsewhere;
    elsewhere.SetConnectionString(u"Provider=SQLite;Data Source=" +
                                  FromUtf8(folder.File("no/such/folder/x.db").string()));
    EXPECT_EQ(MessageOf([&] { elsewhere.Open(); }).rfind("unable to open database file", 0), 0u);
    EXPECT_FALSE(elsewhere.Connected());
}

TEST_F(ADOQueryTest, SettingTheStatementClosesTheQuery) {
    Open(u"select 1");
    int changes = 0;
    TDataSource source;
    source.SetDataSet(&query);
    TDataLink link([&](TDataEvent event) { changes += event == TDataEvent::ActiveChanged; });
    link.SetDataSource(&source);
    query.SetSQL({u"select 2"});
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(changes, 1);
}

TEST_F(ADOQueryTest, SuspendedDisplayHearsOneChangeOnTheLastResume) {
    Open(u"select 1 union all select 2 union all select 3");
    std::vector<TDataEvent> heard;
    TDataSource source;
    source.SetDataSet(&query);
    TDataLink link([&](TDataEvent event) { heard.push_back(event); });
    link.SetDataSource(&source);
    query.DisableControls();
    query.DisableControls();
    query.Next();
    query.EnableControls();
    query.Next();
    EXPECT_TRUE(heard.empty());
    query.EnableControls();
    query.Next();
    EXPECT_EQ(heard, (std::vector<TDataEvent>{TDataEvent::DataSetChanged, TDataEvent::Scrolled}));
}

TEST_F(ADOQueryTest, ValuesOfEachDeclaredKindAsText) {
    Execute(u"create table k (i integer, b boolean, r real, d decimal(10,2), dt datetime, "
            u"da date, tm time, s varchar(5), tx text, bl blob, v)");
    Execute(u"insert into k values (-42, 1, 2.5, 12.30, '2024-03-01 14:05:09', "
            u"'2024-03-01', '07:08:09', 'abc', 'שלום', x'414243', 'any'), "
            u"(NULL, 0, 1e20, 3, '2024-03-01 00:00:00', 'not a date', NULL, '', NULL, NULL, 5)");
    Open(u"select * from k");
    std::vector<TFieldType> types;
    for (int i = 0; i < query.FieldCount(); ++i)
        types.push_back(query.Fields(i).DataType());
    EXPECT_EQ(types,
              (std::vector<TFieldType>{
                  TFieldType::Integer, TFieldType::Boolean, TFieldType::Float, TFieldType::Decimal,
                  TFieldType::DateTime, TFieldType::Date, TFieldType::Time, TFieldType::WideString,
                  TFieldType::WideString, TFieldType::Blob, TFieldType::Variant}));
    EXPECT_EQ(Rows(), "-42|True|2.5|12.3|3/1/2024 2:05:09 PM|3/1/2024|7:08:09 AM|abc|שלום|ABC|any/"
                      "|False|1E20|3|3/1/2024|not a date|||||5");
}

// The engine hands text over as it keeps it, in UTF-8, and the text shows as the engine's own
// UTF-16 would, malformed bytes included.
TEST_F(ADOQueryTest, TextShowsAsTheEnginesUtf16) {
    const char* hexes[] = {
        "",
        "616263",                   // ASCII
        "D7A9D79CD795D79D",         // Hebrew
        "F09F9880",                 // beyond the Basic Multilingual Plane
        "E282AC41424344454647484A", // a multi-byte letter, then eight ASCII ones
        "80",                       // a continuation byte alone
        "C3",                       // a sequence cut short
        "C0AF",                     // an overlong slash
        "EDA080",                   // a surrogate's own code
        "EFBFBE",                   // U+FFFE
        "F8888080808041",           // a lead byte of five
        "41C328",                   // a cut sequence before ASCII
    };
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    for (const char* hex : hexes) {
        std::u16string sql = u"select cast(x'" + FromUtf8(hex) + u"' as text)";
        sqlite3_stmt* stmt = nullptr;
        ASSERT_EQ(sqlite3_prepare16_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
        auto* units = static_cast<const char16_t*>(sqlite3_column_text16(stmt, 0));
        std::u16string engine(units, std::size_t(sqlite3_column_bytes16(stmt, 0)) / 2);
        sqlite3_finalize(stmt);
        Open(sql);
        EXPECT_EQ(query.Fields(0).AsString(), engine) << hex;
    }
    sqlite3_close(db);
}

TEST_F(ADOQueryTest, ClosingTheConnectionKeepsTheQueryWhole) {
    Open(u"with recursive c(x) as (select 1 union all select x + 1 from c limit 5000) "
         u"select x from c");
    EXPECT_EQ(query.FetchedCount(), 1u);
    connection.Close();
    EXPECT_FALSE(connection.Connected());
    ASSERT_TRUE(query.Active());
    EXPECT_EQ(query.RecordCount(), 5000u);
    query.Last();
    EXPECT_EQ(ToUtf8(query.Fields(0).AsString()), "5000");
}

TEST_F(ADOQueryTest, RowsAreReadOnlyAsFarAsTheReaderGoes) {
    Open(u"with recursive c(x) as (select 1 union all select x + 1 from c limit 1000000) "
         u"select x, 'row ' || x from c");
    EXPECT_EQ(query.FetchedCount(), 1u) << "opening reads the first row only";
    for (int i = 0; i < 99; ++i)
        query.Next();
    EXPECT_EQ(query.FetchedCount(), 100u) << "no row is read before it is reached";
    EXPECT_EQ(ToUtf8(query.Fields(1).AsString()), "row 100");
    EXPECT_FALSE(query.AllFetched());
    EXPECT_EQ(query.RecordCount(), 1000000u);
    query.MoveTo(499999);
    EXPECT_EQ(ToUtf8(query.Fields(0).AsString()), "500000");
}

TEST_F(ADOQueryTest, TheCacheHoldsLessThanTheTextItShows) {
    // The shape of a typical table: a key, a short name, a real, a date-time as text and a
    // 30-character text.
    Execute(u"create table t (id integer primary key, name text, amount real, stamp text, "
            u"note text)");
    Execute(u"with recursive c(x) as (select 1 union all select x + 1 from c limit 20000) "
            u"insert into t select x, 'name ' || x, x * 1.25, "
            u"datetime(1700000000 + x * 60, 'unixepoch'), substr(hex(randomblob(15)), 1, 30) "
            u"from c");
    Open(u"select * from t");
    std::size_t textBytes = 0;
    for (query.First(); !query.Eof(); query.Next())
        for (int i = 0; i < query.FieldCount(); ++i)
            textBytes += query.Fields(i).AsString().size() * sizeof(char16_t);
    // Numbers are kept as numbers and text as the engine keeps it, in UTF-8.
    EXPECT_LE(query.CacheBytes(), textBytes * 9 / 10);
    EXPECT_LE(query.CacheBytes() / query.FetchedCount(), 130u) << "bytes a row";
}

} // namespace

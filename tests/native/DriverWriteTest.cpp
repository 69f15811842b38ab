#include <gtest/gtest.h>

#include <algorithm>

#include "base/Text.h"
#include "data/drivers/Driver.h"
#include "tests/native/DriverValues.h"
#include "tests/native/MessageOf.h"
#include "tests/native/PostgresFixture.h"
#include "tests/native/TempFolder.h"

namespace {

// Every row of the result, its values shown and joined by blanks.
std::vector<std::string> Rows(std::unique_ptr<DriverResult> result) {
    std::vector<std::string> rows;
    std::vector<CellValue> row;
    while (result && result->Fetch(row)) {
        std::string shown;
        for (const CellValue& value : row) {
            shown += shown.empty() ? "" : " ";
            shown += Show(value);
        }
        rows.push_back(shown);
    }
    return rows;
}

TDateTime When(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
               int millisecond = 0) {
    return {year, month, day, hour, minute, second, millisecond};
}

// Keys with the primary key kept first and the unique keys after it in name order, since
// databases list those in no fixed order.
std::vector<std::vector<std::u16string>> Sorted(std::vector<std::vector<std::u16string>> keys,
                                                bool hasPrimary) {
    std::sort(keys.begin() + (hasPrimary && !keys.empty() ? 1 : 0), keys.end());
    return keys;
}

const std::u16string kText = u"\u05E9\u05DC\u05D5\u05DD \U0001F600 'q'";
const std::string kBytes("\x00\xff\x10", 3);

struct KindCase {
    const char16_t* sqliteType;
    const char16_t* postgresType;
    BoundValue value;
    std::string sqliteShows;
    std::string postgresShows;
};

// Every kind of value a row can write back, each bound to its own kind of column.
std::vector<KindCase> KindCases() {
    using T = TFieldType;
    return {
        {u"smallint", u"smallint", Bound(T::Smallint, CellValue::OfInteger(-3)), "int:-3",
         "int:-3"},
        {u"integer", u"integer", Bound(T::Integer, CellValue::OfInteger(123456)), "int:123456",
         "int:123456"},
        {u"bigint", u"bigint", Bound(T::Largeint, CellValue::OfInteger(12345678901)),
         "int:12345678901", "int:12345678901"},
        {u"boolean", u"boolean", Bound(T::Boolean, CellValue::OfInteger(1)), "int:1", "int:1"},
        {u"double", u"double precision", Bound(T::Float, CellValue::OfReal(1.5)), "real:1.5",
         "real:1.5"},
        {u"decimal(10,4)", u"numeric(10,4)",
         Bound(T::Decimal, CellValue::OfDecimal(u"-12.5000"), 10, 4), "real:-12.5", "dec:-12.5000"},
        // An integer typed into a decimal column, with a scale the value does not have.
        {u"decimal(10,4)", u"numeric(10,4)", Bound(T::Decimal, CellValue::OfInteger(7), 10, 4),
         "int:7", "dec:7.0000"},
        // Text typed into a number column goes as text, and the database converts it.
        {u"integer", u"integer", Bound(T::Integer, CellValue::OfText(u"42")), "int:42", "int:42"},
        {u"date", u"date", Bound(T::Date, CellValue::OfDateTime(When(2024, 2, 29))),
         "dt:2024-02-29 00:00:00.000", "dt:2024-02-29 00:00:00.000"},
        {u"time", u"time", Bound(T::Time, CellValue::OfDateTime(When(0, 0, 0, 13, 45, 12))),
         "dt:0000-00-00 13:45:12.000", "dt:0000-00-00 13:45:12.000"},
        {u"time", u"time", Bound(T::Time, CellValue::OfDateTime(When(0, 0, 0, 13, 45, 12, 345))),
         "dt:0000-00-00 13:45:12.345", "dt:0000-00-00 13:45:12.345"},
        {u"datetime", u"timestamp",
         Bound(T::DateTime, CellValue::OfDateTime(When(2024, 2, 29, 23, 59, 58, 125))),
         "dt:2024-02-29 23:59:58.125", "dt:2024-02-29 23:59:58.125"},
        {u"varchar(20)", u"varchar(20)", Bound(T::String, CellValue::OfText(u"plain")),
         "text:plain", "text:plain"},
        {u"varchar(20)", u"varchar(20)", Bound(T::WideString, CellValue::OfText(kText)),
         "text:" + ToUtf8(kText), "text:" + ToUtf8(kText)},
        {u"text", u"text", Bound(T::WideString, CellValue::OfText(u"")), "text:", "text:"},
        {u"text", u"text", Bound(T::Memo, CellValue::OfText(u"memo")), "text:memo", "text:memo"},
        {u"text", u"text", Bound(T::WideMemo, CellValue::OfText(kText)), "text:" + ToUtf8(kText),
         "text:" + ToUtf8(kText)},
        {u"blob", u"bytea", Bound(T::Blob, CellValue::OfBytes(kBytes)), "bytes:00ff10",
         "bytes:00ff10"},
        {u"blob", u"bytea", Bound(T::VarBytes, CellValue::OfBytes("")), "bytes:", "bytes:"},
        {u"guid", u"uuid",
         Bound(T::Guid, CellValue::OfText(u"a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11")),
         // psqlODBC writes a uuid in capitals.
         "text:a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11", "text:A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11"},
    };
}

// Each case written into a fresh row, found again by an equality match on its value, and
// read back; then NULL written over it.
void CheckEveryKindRoundTrips(DriverConnection& db, bool postgres) {
    int id = 0;
    for (const KindCase& kind : KindCases()) {
        const char16_t* type = postgres ? kind.postgresType : kind.sqliteType;
        std::string expected = postgres ? kind.postgresShows : kind.sqliteShows;
        SCOPED_TRACE(ToUtf8(type) + " " + expected);
        std::u16string table = u"dw_kind" + IntToStr(++id);
        db.Execute(u"drop table if exists " + table);
        db.Execute(u"create table " + table + u" (id int primary key, c " + type + u")");
        db.Execute(u"insert into " + table + u" values (1, null), (2, null)");
        BoundValue key = Bound(TFieldType::Integer, CellValue::OfInteger(1));

        EXPECT_EQ(
            db.ExecuteBound(u"update " + table + u" set c = ? where id = ?", {kind.value, key}), 1);
        EXPECT_EQ(Rows(db.OpenBound(u"select id from " + table + u" where c = ?", {kind.value})),
                  std::vector<std::string>{"int:1"});
        EXPECT_EQ(Rows(db.OpenBound(u"select c from " + table + u" where id = ?", {key})),
                  std::vector<std::string>{expected});

        BoundValue null = kind.value;
        null.value = CellValue::Null();
        EXPECT_EQ(db.ExecuteBound(u"update " + table + u" set c = ? where id = ?", {null, key}), 1);
        EXPECT_EQ(Rows(db.OpenResult(u"select count(*) from " + table + u" where c is null")),
                  std::vector<std::string>{"int:2"});
        db.Execute(u"drop table " + table);
    }
}

// The row as stored, with its defaults and new key, comes back from the INSERT itself.
void CheckInsertReturnsTheStoredRow(DriverConnection& db, const char16_t* keyType) {
    db.Execute(u"drop table if exists dw_returned");
    db.Execute(u"create table dw_returned (id " + std::u16string(keyType) +
               u" primary key, name varchar(10), qty int default 5)");
    BoundValue name = Bound(TFieldType::String, CellValue::OfText(u"first"));
    auto result =
        db.OpenBound(u"insert into dw_returned (name) values (?) returning id, name, qty", {name});
    ASSERT_TRUE(result);
    EXPECT_EQ(Rows(std::move(result)), std::vector<std::string>{"int:1 text:first int:5"});
    name.value = CellValue::OfText(u"second");
    EXPECT_EQ(Rows(db.OpenBound(u"insert into dw_returned (name) values (?) returning id", {name})),
              std::vector<std::string>{"int:2"});
    EXPECT_EQ(Rows(db.OpenResult(u"select count(*) from dw_returned")),
              std::vector<std::string>{"int:2"});
    EXPECT_EQ(db.OpenBound(u"delete from dw_returned where name = ?", {name}), nullptr);
    db.Execute(u"drop table dw_returned");
}

// `other` is a second connection to the same database: it sees only what was committed, and
// only once the first is back to committing each statement.
void CheckTransactions(DriverConnection& db, DriverConnection& other) {
    db.Execute(u"drop table if exists dw_child");
    db.Execute(u"drop table if exists dw_parent");
    db.Execute(u"create table dw_parent (id int primary key)");
    db.Execute(u"create table dw_child (id int, parent int references dw_parent (id) deferrable "
               u"initially deferred)");
    auto count = [&](DriverConnection& on) {
        return Rows(on.OpenResult(u"select count(*) from dw_parent")).at(0);
    };

    db.BeginTransaction();
    db.Execute(u"insert into dw_parent values (1)");
    db.Rollback();
    EXPECT_EQ(count(db), "int:0");

    db.BeginTransaction();
    db.Execute(u"insert into dw_parent values (2)");
    db.Commit();
    db.Execute(u"insert into dw_parent values (3)");
    EXPECT_EQ(count(other), "int:2");

    // A broken reference is only found at COMMIT, which then fails and undoes it all.
    db.BeginTransaction();
    db.Execute(u"insert into dw_parent values (4)");
    db.Execute(u"insert into dw_child values (1, 99)");
    EXPECT_NE(MessageOf([&] { db.Commit(); }), "(no error)");
    db.Rollback(); // nothing left to undo: no error
    db.Execute(u"insert into dw_parent values (5)");
    EXPECT_EQ(count(other), "int:3");

    db.Execute(u"drop table dw_child");
    db.Execute(u"drop table dw_parent");
}

void CheckUniqueKeys(DriverConnection& db, const std::u16string& schema) {
    db.Execute(u"drop table if exists dw_keyed");
    db.Execute(u"drop table if exists dw_keyless");
    db.Execute(u"create table dw_keyed (a int not null, b varchar(5) not null, c int, d int, e "
               u"varchar(5), primary key (b, a), unique (c), unique (e, d))");
    // Neither an expression nor a partial index makes a key; the same columns twice are one key.
    db.Execute(u"create unique index keyed_lower on dw_keyed (lower(e))");
    db.Execute(u"create unique index keyed_again on dw_keyed (a, b)");
    db.Execute(u"create unique index keyed_partial on dw_keyed (d) where d > 0");
    db.Execute(u"create table dw_keyless (a int, b int)");
    db.Execute(u"create index keyless_a on dw_keyless (a)");

    using Keys = std::vector<std::vector<std::u16string>>;
    EXPECT_EQ(Sorted(db.UniqueKeys(schema, u"dw_keyed"), true),
              (Keys{{u"b", u"a"}, {u"c"}, {u"e", u"d"}}));
    EXPECT_EQ(db.UniqueKeys(schema, u"dw_keyless"), Keys{});
    EXPECT_EQ(db.UniqueKeys(schema, u"missing"), Keys{});
    db.Execute(u"drop table dw_keyed");
    db.Execute(u"drop table dw_keyless");
}

class SqliteWrite : public ::testing::Test {
protected:
    std::u16string Path() const { return FromUtf8(folder.File("test.db").string()); }

    TempFolder folder;
    std::unique_ptr<DriverConnection> db = ConnectSqlite(Path());
};

TEST_F(SqliteWrite, EveryKindRoundTripsThroughBoundValues) {
    CheckEveryKindRoundTrips(*db, false);
}

TEST_F(SqliteWrite, InsertReturnsTheStoredRow) {
    CheckInsertReturnsTheStoredRow(*db, u"integer");
}

TEST_F(SqliteWrite, BoundStatementsTakeOneStatementAndAValueForEachMarker) {
    db->Execute(u"create table t (a int)");
    BoundValue one = Bound(TFieldType::Integer, CellValue::OfInteger(1));
    EXPECT_EQ(MessageOf([&] { db->ExecuteBound(u"insert into t values (?)", {}); }),
              "The statement has 1 parameter markers but 0 values were given");
    EXPECT_EQ(
        MessageOf([&] { db->ExecuteBound(u"insert into t values (?); delete from t", {one}); }),
        "Only one statement can be run with values");
    EXPECT_EQ(db->ExecuteBound(u"insert into t values (?); -- done", {one}), 1);
    EXPECT_EQ(MessageOf([&] { db->OpenResult(u"select * from t where a = ?"); }),
              "No value given for one or more required parameters.");
}

TEST_F(SqliteWrite, TransactionsCommitOrUndoEverything) {
    db->Execute(u"pragma foreign_keys = on");
    auto other = ConnectSqlite(Path());
    CheckTransactions(*db, *other);
}

TEST_F(SqliteWrite, UniqueKeysListThePrimaryKeyFirst) {
    CheckUniqueKeys(*db, u"main");
    db->Execute(u"create table alias (id integer primary key, code int)");
    EXPECT_EQ(db->UniqueKeys(u"main", u"alias"),
              (std::vector<std::vector<std::u16string>>{{u"id"}}));
}

TEST_F(SqliteWrite, DialectQuotesWithDoubleQuotesAndReturns) {
    SqlDialect dialect = db->Dialect();
    EXPECT_EQ(dialect.quoteOpen, u'"');
    EXPECT_EQ(dialect.quoteClose, u'"');
    EXPECT_EQ(dialect.insertReturning, SqlDialect::InsertReturning::Returning);

    // The SQLite ODBC driver, on the host's library.
    auto odbc = ConnectDriver(u"Provider=MSDASQL;Extended Properties='Driver={SQLite3};"
                              u"Database=" +
                                  Path() + u"'",
                              5);
    EXPECT_EQ(odbc->Dialect().insertReturning, SqlDialect::InsertReturning::Returning);
}

// A SELECT of one table's rows gets its rowid as a hidden last column; anything that does not
// give one table row per result row does not.
TEST_F(SqliteWrite, RowIdJoinsOnlyResultsOfOneTablesRows) {
    db->Execute(u"create table t (name text, n int); "
                u"insert into t (rowid, name, n) values (10, 'a', 1), (20, 'b', 2); "
                u"create table u (id int, label text); insert into u values (10, 'x'); "
                u"create table wr (k int primary key, v text) without rowid; "
                u"insert into wr values (1, 'w'); "
                u"create table shadow (rowid int, v text); insert into shadow values (7, 's'); "
                u"create view v as select * from t; "
                u"create table p (id integer primary key, name text); "
                u"insert into p values (5, 'p')");
    struct Case {
        const char16_t* sql;
        std::vector<std::string> rows; // with the rowid last where there is one
        bool rowId;
    } cases[] = {
        {u"select name from t", {"text:a int:10", "text:b int:20"}, true},
        {u"  /* who */ SELECT x.name AS \"from\" -- not a clause\n FROM t x WHERE x.name <> 'b'",
         {"text:a int:10"},
         true},
        {u"select * from main.t as x order by 2 desc",
         {"text:b int:2 int:20", "text:a int:1 int:10"},
         true},
        {u"select name from t where n in (select count(*) from u)", {"text:a int:10"}, true},
        {u"select t.name, u.label from t join u on u.id = t.rowid", {"text:a text:x"}, false},
        {u"select a.name, b.name from t a, t b where a.n = 1 and b.n = 2",
         {"text:a text:b"},
         false},
        {u"select name, count(*) from t group by name", {"text:a int:1", "text:b int:1"}, false},
        {u"select name from t group by name", {"text:a", "text:b"}, false},
        {u"select max(name), n from t", {"text:b int:2"}, false},
        {u"select distinct name from t", {"text:a", "text:b"}, false},
        {u"select name from t union all select name from t where n = 1",
         {"text:a", "text:b", "text:a"},
         false},
        {u"select v from wr", {"text:w"}, false},
        // The primary key selected identifies the rows already.
        {u"select name, id from p", {"text:p int:5"}, false},
        {u"select name from p", {"text:p int:5"}, true},
        {u"select v from shadow", {"text:s"}, false},
        {u"select name from v where n = 1", {"text:a"}, false},
        {u"select name from (select name from t where n = 1)", {"text:a"}, false},
        {u"with c as (select name from t where n = 1) select name from c", {"text:a"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.sql));
        auto result = db->OpenResult(c.sql);
        ASSERT_TRUE(result);
        const auto& columns = result->Columns();
        ASSERT_FALSE(columns.empty());
        EXPECT_EQ(columns.back().rowId, c.rowId);
        EXPECT_EQ(std::count_if(columns.begin(), columns.end(), [](auto& k) { return k.rowId; }),
                  c.rowId ? 1 : 0);
        if (c.rowId) {
            const ColumnInfo& rowId = columns.back();
            EXPECT_EQ(rowId.baseSchema, u"main");
            EXPECT_EQ(rowId.baseTable, columns.front().baseTable);
            EXPECT_EQ(rowId.baseColumn, u"rowid");
            EXPECT_EQ(rowId.type, TFieldType::Largeint);
            EXPECT_TRUE(rowId.readOnly);
            EXPECT_EQ(columns.front().baseSchema, u"main");
        }
        EXPECT_EQ(Rows(std::move(result)), c.rows);
    }
    EXPECT_EQ(db->OpenResult(u"select 1 as \"from\", name from t")->Columns().at(0).name, u"from");
}

TEST_F(SqliteWrite, TheUsersStatementRunsOnce) {
    db->Execute(u"create table t (name text); insert into t values ('a')");
    EXPECT_EQ(Rows(db->OpenResult(u"insert into t values ('b'); select name from t")),
              (std::vector<std::string>{"text:a int:1", "text:b int:2"}));
    EXPECT_EQ(Rows(db->OpenResult(u"insert into t values ('c') returning name")),
              std::vector<std::string>{"text:c"});
    EXPECT_EQ(Rows(db->OpenResult(u"select count(*) from t")), std::vector<std::string>{"int:3"});
}

class PostgresWrite : public PostgresFixture {};

TEST_F(PostgresWrite, EveryKindRoundTripsThroughBoundValues) {
    CheckEveryKindRoundTrips(*db, true);
    // The schema comes with the table a column is read from.
    db->Execute(u"create temp table placed (id int)");
    auto result = db->OpenResult(u"select id from placed");
    EXPECT_EQ(result->Columns().at(0).baseTable, u"placed");
    EXPECT_EQ(ToUtf8(result->Columns().at(0).baseSchema).rfind("pg_temp", 0), 0u);
}

TEST_F(PostgresWrite, InsertReturnsTheStoredRow) {
    CheckInsertReturnsTheStoredRow(*db, u"serial");
}

TEST_F(PostgresWrite, TransactionsCommitOrUndoEverything) {
    auto other = Connect();
    CheckTransactions(*db, *other);
}

TEST_F(PostgresWrite, UniqueKeysListThePrimaryKeyFirst) {
    CheckUniqueKeys(*db, u"public");
    SqlDialect dialect = db->Dialect();
    EXPECT_EQ(dialect.quoteOpen, u'"');
    EXPECT_EQ(dialect.quoteClose, u'"');
    EXPECT_EQ(dialect.insertReturning, SqlDialect::InsertReturning::Returning);
}

} // namespace

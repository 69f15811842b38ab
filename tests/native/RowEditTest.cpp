#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "BackendTest.h"
#include "MessageOf.h"
#include "TempFolder.h"
#include "app/CopyText.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "grid/GridModel.h"
#include "grid/QueryRowSource.h"
#include "platform/FakePlatform.h"
#include "tests/QuerySupport.h"

// Editing a result and writing it back, the same on the embedded SQLite engine and on
// PostgreSQL through psqlODBC. A second connection plays the other user.

namespace {

class RowEdit : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (!Ready())
            return;
        Run(u"drop table if exists people; drop table if exists nokey; drop table if exists pets");
        Run(std::u16string(u"create table people (id ") + (Pg() ? u"serial" : u"integer") +
            u" primary key, name varchar(20) not null, qty integer default 7, "
            u"born date, active boolean, code varchar(5) unique)");
        Run(u"insert into people (id, name, qty, born, active, code) values "
            u"(1, 'Ann', 1, '2001-02-03', true, 'a'), (2, 'Bob', 2, null, false, 'b'), "
            u"(3, 'Cy', 3, null, null, 'c')");
        if (Pg())
            Run(u"select setval('people_id_seq', 3)");
    }

    void Open(const std::u16string& sql) { ::Open(query, sql); }
    // The table as the other connection reads it: rows by "/", fields by "|".
    std::string Table(const std::u16string& sql) {
        ::Open(otherQuery, sql);
        std::string text = RowsText(otherQuery);
        otherQuery.Close();
        return text;
    }
    std::string People() { return Table(u"select id, name, qty from people order by id"); }
};

TEST_P(RowEdit, EditInsertAndDeleteReachTheDatabase) {
    Open(u"select id, name, qty from people order by id");
    ASSERT_TRUE(query.CanModify());
    query.Fields(1).SetText(u"Anna");
    EXPECT_EQ(query.State(), TDataSetState::Edit);
    EXPECT_EQ(People(), "1|Ann|1/2|Bob|2/3|Cy|3") << "nothing is written before the row is";
    query.Next(); // moving on posts
    EXPECT_EQ(query.State(), TDataSetState::Browse);
    EXPECT_EQ(People(), "1|Anna|1/2|Bob|2/3|Cy|3");

    // A new row takes the typed columns; the database's key and defaults come back.
    query.Append();
    EXPECT_EQ(query.State(), TDataSetState::Insert);
    query.Fields(1).SetText(u"Dee");
    query.Post();
    EXPECT_EQ(ToUtf8(query.Fields(0).AsString()), "4");
    EXPECT_EQ(ToUtf8(query.Fields(2).AsString()), "7");
    // ... so that it can be changed again at once.
    query.Fields(2).SetText(u"44");
    query.Post();
    EXPECT_EQ(People(), "1|Anna|1/2|Bob|2/3|Cy|3/4|Dee|44");

    query.MoveTo(1);
    query.Delete();
    EXPECT_EQ(ToUtf8(query.Fields(1).AsString()), "Cy") << "the next row is current";
    EXPECT_EQ(query.RecordCount(), 3u);
    EXPECT_EQ(People(), "1|Anna|1/3|Cy|3/4|Dee|44");
}

TEST_P(RowEdit, AChangeMadeMeanwhileIsNeverOverwritten) {
    Open(u"select id, name, qty from people order by id");
    query.Fields(1).SetText(u"Mine");
    Run(u"update people set name = 'Theirs' where id = 1");
    EXPECT_EQ(MessageOf([&] { query.Post(); }),
              "The row was changed or deleted by someone else since it was read; nothing was "
              "written.");
    EXPECT_EQ(query.State(), TDataSetState::Edit) << "the typed values stay for another try";
    EXPECT_EQ(ToUtf8(query.Fields(1).AsString()), "Mine");
    EXPECT_EQ(People(), "1|Theirs|1/2|Bob|2/3|Cy|3");
    query.Cancel();
    EXPECT_EQ(ToUtf8(query.Fields(1).AsString()), "Ann")
        << "cancelled, the row shows what was read";

    // Only the columns changed here are compared: another column's change does not stop it.
    query.Fields(2).SetText(u"10");
    query.Post();
    EXPECT_EQ(People(), "1|Theirs|10/2|Bob|2/3|Cy|3");

    // A row deleted meanwhile cannot be deleted again, and stays in the result.
    query.Next();
    Run(u"delete from people where id = 2");
    EXPECT_NE(MessageOf([&] { query.Delete(); }).find("changed or deleted by someone else"),
              std::string::npos);
    EXPECT_EQ(ToUtf8(query.Fields(1).AsString()), "Bob");
}

TEST_P(RowEdit, ARefusedWriteKeepsTheRowAndWritesNothing) {
    Open(u"select id, name, code from people order by id");
    query.Append();
    query.Fields(1).SetText(u"Eve");
    query.Fields(2).SetText(u"a"); // taken
    EXPECT_NE(MessageOf([&] { query.Post(); }), "(no error)");
    EXPECT_EQ(query.State(), TDataSetState::Insert);
    EXPECT_EQ(ToUtf8(query.Fields(1).AsString()), "Eve");
    EXPECT_EQ(People(), "1|Ann|1/2|Bob|2/3|Cy|3");
    query.Fields(2).SetText(u"e");
    query.Post();
    EXPECT_EQ(Table(u"select name from people where code = 'e'"), "Eve");

    // Stepping from elsewhere posts as well; a refusal stops the step.
    query.First();
    query.Fields(2).SetText(u"b");
    EXPECT_NE(MessageOf([&] { query.Next(); }), "(no error)");
    EXPECT_EQ(query.RecNo(), 0u);
    EXPECT_EQ(query.State(), TDataSetState::Edit);
}

TEST_P(RowEdit, ClearedValuesAndBooleansAsStored) {
    Open(u"select id, name, qty, born, active from people order by id");
    query.Fields(2).SetText(u"");
    query.Fields(3).SetText(u"");
    query.Fields(4).SetText(u"f");
    query.Fields(1).SetText(u"");
    query.Post();
    query.Next();
    query.Fields(4).SetText(u"TR");
    query.Fields(3).SetText(u"12/31/1999");
    query.Post();
    EXPECT_EQ(Table(u"select id, name is null, name = '', qty is null, born is null, active "
                    u"from people where id = 1"),
              Pg() ? "1|False|True|True|True|False" : "1|0|1|1|1|False");
    EXPECT_EQ(Table(u"select active, born from people where id = 2"), "True|12/31/1999");

    EXPECT_EQ(MessageOf([&] { query.Fields(4).SetText(u"x"); }),
              "'x' is not a valid boolean value for field 'active'");
    EXPECT_EQ(MessageOf([&] { query.Fields(2).SetText(u"1x"); }),
              "'1x' is not a valid integer value for field 'qty'");
    EXPECT_EQ(query.State(), TDataSetState::Browse) << "refused text changes nothing";
}

TEST_P(RowEdit, ResultsWithoutAKeyOrFromSeveralTablesCannotBeChanged) {
    Run(u"create table pets (owner integer, pet varchar(10))");
    Run(u"insert into pets values (1, 'cat')");
    const char16_t* readOnly[] = {
        u"select p.name, q.pet from people p join pets q on q.owner = p.id",
        u"select count(*) from people",
    };
    for (const char16_t* sql : readOnly) {
        SCOPED_TRACE(ToUtf8(sql));
        Open(sql);
        EXPECT_FALSE(query.CanModify());
        EXPECT_EQ(MessageOf([&] { query.Fields(0).SetText(u"1"); }),
                  "Field '" + ToUtf8(query.Fields(0).FieldName()) + "' cannot be modified");
        EXPECT_EQ(MessageOf([&] { query.Append(); }),
                  "ADOQuery: Cannot modify a read-only dataset");
    }

    // A table without any key: PostgreSQL has nothing to find its rows by. SQLite still has
    // each row's rowid, even when the result does not select it.
    Open(u"select pet from pets");
    EXPECT_EQ(query.CanModify(), !Pg());
    if (!Pg()) {
        EXPECT_EQ(query.FieldCount(), 1) << "the rowid is no field";
        query.Fields(0).SetText(u"dog");
        query.Post();
        EXPECT_EQ(Table(u"select owner, pet from pets"), "1|dog");
    }

    // Computed columns are read-only in a result that can be changed.
    Open(u"select id, qty * 2 as twice from people");
    EXPECT_TRUE(query.CanModify());
    EXPECT_FALSE(query.Fields(1).CanModify());
    EXPECT_TRUE(query.Fields(0).CanModify());
}

// Date-times are read to the millisecond; a value stored finer still matches the row it came
// from, so that it can be changed at all.
TEST_P(RowEdit, AStampFinerThanAMillisecondCanBeChanged) {
    Run(u"create table pets (owner integer primary key, seen timestamp)");
    Run(u"insert into pets values (1, '2024-01-31 23:59:59.999999'), "
        u"(2, '2024-02-01 10:00:00.123')");
    Open(u"select owner, seen from pets order by owner");
    query.Fields(1).SetText(u"3/1/2024");
    query.Next();
    query.Fields(1).SetText(u"");
    query.Post();
    EXPECT_EQ(Table(u"select owner, seen from pets order by owner"), "1|3/1/2024/2|");
}

// In the grid, long UTF-16 text is typed over whole, its editor starting from the kind's
// marker; bytes cannot be typed at all.
TEST_P(RowEdit, LongTextIsReplacedWholeBytesAreNotEdited) {
    Run(std::u16string(u"create table pets (owner integer primary key, story text, photo ") +
        (Pg() ? u"bytea)" : u"blob)"));
    Run(u"insert into pets values (1, 'once upon a time', null)");
    Open(u"select owner, story, photo from pets");
    QueryRowSource rows(&query);
    GridModel grid;
    grid.SetRowSource(&rows);
    grid.KeyDown(GridKey::Right, {});
    grid.OpenEditor();
    // SQLite's text has no long kind of its own: it is edited as the text it is.
    EXPECT_EQ(ToUtf8(grid.EditorText()), Pg() ? "(WIDEMEMO)" : "once upon a time");
    EXPECT_FALSE(grid.EditorReadOnly());
    grid.EditorTextChanged(u"the end");
    grid.KeyDown(GridKey::Right, {});
    EXPECT_TRUE(grid.OpenEditor());
    EXPECT_TRUE(grid.EditorReadOnly());
    grid.EditorTextChanged(u"00ff");
    query.Post();
    EXPECT_EQ(Table(u"select story, photo is null from pets"), Pg() ? "the end|True" : "the end|1");
}

TEST_P(RowEdit, ClosingDropsAnUnpostedRow) {
    Open(u"select id, name from people order by id");
    query.Fields(1).SetText(u"Lost");
    query.Close();
    Open(u"select id, name from people order by id");
    query.Append();
    query.Fields(1).SetText(u"Lost too");
    connection.Close();
    EXPECT_EQ(query.State(), TDataSetState::Browse);
    EXPECT_EQ(query.RecordCount(), 3u);
    EXPECT_FALSE(query.CanModify()) << "rows kept past their connection stay read-only";
    EXPECT_EQ(People(), "1|Ann|1/2|Bob|2/3|Cy|3");
}

// A read that fails part-way leaves the result failed: the rows before it stay, and whatever
// needs the rest raises the same error each time, so that a short result never passes for the
// whole one.
TEST_P(RowEdit, AReadThatFailsPartWayStaysFailed) {
    Open(Pg() ? u"select x, 1 / (2500 - x) from generate_series(1, 3000) x"
              : u"with recursive c(x) as (select 1 union all select x + 1 from c where x < 3000) "
                u"select x, case when x = 2500 then abs(-9223372036854775807 - 1) else x end "
                u"from c");
    std::string failure = MessageOf([&] { query.RecordCount(); });
    EXPECT_NE(failure, "(no error)");
    EXPECT_GE(query.FetchedCount(), 1u);
    EXPECT_FALSE(query.AllFetched());
    EXPECT_EQ(ToUtf8(query.Fields(0).AsString()), "1") << "the rows read stay";
    EXPECT_EQ(MessageOf([&] { query.RecordCount(); }), failure);
    EXPECT_EQ(MessageOf([&] { query.Last(); }), failure);
    for (int copy = 0; copy < 2; ++copy) {
        QueryCopyRows rows(query);
        CopyText text;
        EXPECT_EQ(MessageOf([&] { text.Build(rows); }), failure) << "copy " << copy;
    }
    Open(u"select count(*) from people");
    EXPECT_EQ(RowsText(query), "3") << "the connection goes on";
}

// PostgreSQL keeps "ID" and id apart: the key is the column that is the key, whatever another
// column of the result is called.
TEST_P(RowEdit, KeyColumnsAreTheTablesOwnByExactName) {
    if (!Pg())
        GTEST_SKIP() << "SQLite takes both names for one column";
    Run(u"create table cs (\"ID\" int primary key, id int, v text)");
    Run(u"insert into cs values (1, 5, 'p'), (2, 5, 'q'), (3, 6, 'r')");
    Open(u"select id, \"ID\", v from cs order by \"ID\"");
    query.MoveTo(2);
    Run(u"update cs set id = 6 where \"ID\" = 2; update cs set id = 7 where \"ID\" = 3");
    query.Delete();
    EXPECT_EQ(Table(u"select \"ID\", id, v from cs order by \"ID\""), "1|5|p/2|6|q");
}

// A table without a key is edited through SQLite's rowid, which the engine hands out again
// once its row is gone: every original value must match too, NULLs included.
TEST_P(RowEdit, ARowIdGivenAgainFindsNoOtherRow) {
    if (Pg())
        GTEST_SKIP() << "PostgreSQL has no row identity to edit such a table by";
    Run(u"create table log (msg text, n int)");
    Run(u"insert into log values ('a', 1), ('b', 2), ('c', null)");
    Open(u"select msg, n from log");
    query.RecordCount(); // a result still being read would keep the other writer waiting
    query.MoveTo(1);
    Run(u"delete from log where msg = 'b'; insert into log (rowid, msg, n) values (2, 'new', 9)");
    query.Fields(0).SetText(u"bb");
    EXPECT_NE(MessageOf([&] { query.Post(); }).find("changed or deleted by someone else"),
              std::string::npos);
    query.Cancel();
    EXPECT_NE(MessageOf([&] { query.Delete(); }).find("changed or deleted by someone else"),
              std::string::npos);
    query.MoveTo(2);
    query.Fields(0).SetText(u"cc");
    query.Post();
    query.First();
    query.Delete();
    EXPECT_EQ(Table(u"select rowid, msg, n from log order by rowid"), "2|new|9/3|cc|");
}

// A column the result shows twice is written through its first copy only, and both show what
// was stored.
TEST_P(RowEdit, AColumnShownTwiceIsWrittenOnce) {
    Open(u"select id, name, name from people order by id");
    EXPECT_TRUE(query.Fields(1).CanModify());
    EXPECT_FALSE(query.Fields(2).CanModify());
    EXPECT_EQ(MessageOf([&] { query.Fields(2).SetText(u"x"); }),
              "Field 'name_1' cannot be modified");
    query.Fields(1).SetText(u"Anna");
    query.Post();
    EXPECT_EQ(ToUtf8(query.Fields(2).AsString()), "Anna");
    EXPECT_EQ(People(), "1|Anna|1/2|Bob|2/3|Cy|3");
}

// After a write the row shows what the database keeps, which is what the next write matches.
TEST_P(RowEdit, TheRowShowsWhatWasStored) {
    if (Pg()) {
        Run(u"create table pets (owner int primary key, price numeric(10, 2), tag char(4))");
        Run(u"insert into pets values (1, 1.00, 'a')");
    } else {
        Run(u"create table pets (owner integer primary key, price decimal(10, 2), tag text)");
        Run(u"create trigger shout after update of tag on pets begin "
            u"update pets set tag = upper(new.tag) where owner = new.owner; end");
        Run(u"create trigger shout_new after insert on pets begin "
            u"update pets set tag = upper(new.tag) where owner = new.owner; end");
        Run(u"insert into pets values (1, 1.00, 'a')");
    }
    Open(u"select owner, price, tag from pets order by owner");
    query.Fields(1).SetText(u"1.005");
    query.Fields(2).SetText(u"ab");
    query.Post();
    std::string stored = Pg() ? "1|1.01|ab  " : "1|1.005|AB";
    EXPECT_EQ(RowsText(query), stored);
    EXPECT_EQ(Table(u"select owner, price, tag from pets"), stored);
    query.First();
    query.Fields(1).SetText(u"2");
    query.Fields(2).SetText(u"cd");
    query.Post();
    query.Append();
    query.Fields(0).SetText(u"2");
    query.Fields(2).SetText(u"ef");
    query.Post();
    EXPECT_EQ(RowsText(query), Pg() ? "1|2|cd  /2||ef  " : "1|2|CD/2||EF");
}

// SQLite keeps a date as whatever text it was given; each spelling is found again by that
// text, as a changed value and as a key.
TEST_P(RowEdit, EverySqliteDateSpellingCanBeChanged) {
    if (Pg())
        GTEST_SKIP() << "PostgreSQL keeps dates in one form";
    const char16_t* spellings[] = {u"2024-01-01T10:00:00", u"2024-01-01 10:00", u"2024-01-01",
                                   u"9999-12-31 23:59:59.999999", u"2024-01-01 10:00:00"};
    Run(u"create table ev (id integer primary key, at datetime, day date)");
    Run(u"create table keyed (at datetime primary key, v text)");
    for (const char16_t* spelling : spellings) {
        std::u16string value = u"'" + std::u16string(spelling) + u"'";
        Run(u"insert into ev (at, day) values (" + value + u", " + value + u")");
        Run(u"insert into keyed values (" + value + u", 'old')");
    }
    Open(u"select id, at, day from ev order by id");
    for (std::size_t row = 0; row < std::size(spellings); ++row) {
        SCOPED_TRACE(ToUtf8(spellings[row]));
        query.MoveTo(row);
        query.Fields(1).SetText(u"3/1/2024");
        query.Fields(2).SetText(u"3/2/2024");
        EXPECT_EQ(MessageOf([&] { query.Post(); }), "(no error)");
    }
    EXPECT_EQ(Table(u"select count(*) from ev where at = '2024-03-01 00:00:00' and "
                    u"day = '2024-03-02'"),
              "5");
    Open(u"select at, v from keyed");
    for (std::size_t row = 0; row < std::size(spellings); ++row) {
        SCOPED_TRACE(ToUtf8(spellings[row]));
        query.MoveTo(row);
        query.Fields(1).SetText(u"new");
        EXPECT_EQ(MessageOf([&] { query.Post(); }), "(no error)");
    }
    EXPECT_EQ(Table(u"select count(*) from keyed where v = 'new'"), "5");
}

// What the reader cannot hold as its kind shows as the database's text and is never used to
// find a row; a wall time that the clock's change gives to two instants is refused, not
// guessed.
TEST_P(RowEdit, ValuesThatCannotBeMatchedExactlyAreOnlyShown) {
    if (!Pg())
        GTEST_SKIP() << "SQLite keeps every value as it was given";
    Run(u"create table days (id int primary key, d date, note text)");
    Run(u"insert into days values (1, 'infinity', 'a'), (2, '10000-01-01', 'b'), "
        u"(3, '2024-05-06', 'c')");
    Open(u"select id, d, note from days order by id");
    EXPECT_EQ(RowsText(query), "1|infinity|a/2|10000-?\?-?\?|b/3|5/6/2024|c");
    query.First();
    EXPECT_FALSE(query.Fields(1).CanModify());
    EXPECT_TRUE(query.Fields(2).CanModify()) << "the row is found by its key";
    query.Fields(2).SetText(u"aa");
    query.Post();
    query.Last();
    EXPECT_TRUE(query.Fields(1).CanModify());

    Run(u"create table ends (d date primary key, v text)");
    Run(u"insert into ends values ('infinity', 'x')");
    Open(u"select d, v from ends");
    query.Fields(1).SetText(u"y");
    EXPECT_EQ(MessageOf([&] { query.Post(); }),
              "The row cannot be changed: its value in 'd' is shown as the database's text and "
              "cannot be matched exactly; nothing was written.");
    query.Cancel();

    Run(u"create table stamps (at timestamptz primary key, v text)");
    Run(u"insert into stamps values ('2024-11-03 05:30Z', 'first'), ('2024-11-03 06:30Z', "
        u"'second'), ('2024-07-01 12:00Z', 'summer')");
    ::Execute(query, u"set timezone to 'America/New_York'");
    Open(u"select at, v from stamps order by at");
    EXPECT_EQ(RowsText(query), "7/1/2024 8:00:00 AM|summer/11/3/2024 1:30:00 AM|first/"
                               "11/3/2024 1:30:00 AM|second");
    query.MoveTo(1);
    query.Fields(1).SetText(u"changed");
    EXPECT_NE(MessageOf([&] { query.Post(); }).find("stands for two instants"), std::string::npos);
    query.Cancel();
    EXPECT_NE(MessageOf([&] { query.Delete(); }).find("stands for two instants"),
              std::string::npos);
    query.First();
    query.Fields(1).SetText(u"still summer");
    query.Post();
    EXPECT_EQ(Table(u"select v from stamps order by at"), "still summer/first/second");
    EXPECT_EQ(Table(u"select v from ends"), "x");
}

// SQLite keeps whatever bytes it was given as text. A key whose bytes are not valid UTF-8
// shows as U+FFFD, the same as a key that is U+FFFD; writing must still reach the row read.
TEST_P(RowEdit, ATextKeyFindsItsRowByTheBytesStored) {
    if (Pg())
        GTEST_SKIP() << "PostgreSQL refuses text that is not valid UTF-8";
    Run(u"create table tagged (k text primary key, v integer)");
    Run(u"insert into tagged values (cast(x'C3' as text), 1), (cast(x'EFBFBD' as text), 2), "
        u"(cast(x'F09F9880' as text), 3)");
    Open(u"select k, v from tagged order by v");
    for (std::size_t row = 0; row < 3; ++row) {
        query.MoveTo(row);
        query.Fields(1).SetText(IntToStr(int(row + 1) * 10));
        query.Post();
    }
    EXPECT_EQ(Table(u"select hex(k), v from tagged order by hex(k)"),
              "C3|10/EFBFBD|20/F09F9880|30");
}

INSTANTIATE_TEST_SUITE_P(, RowEdit, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         BackendName);

} // namespace

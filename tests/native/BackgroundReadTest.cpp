#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "BackendTest.h"
#include "MessageOf.h"
#include "TempFolder.h"
#include "ThreadedWork.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "data/DataSource.h"
#include "platform/FakePlatform.h"
#include "tests/QuerySupport.h"

// Once a result's first rows are in, the rest is read in the background up to a ceiling of
// memory, so that the database is let go of as soon as the last row is in, while the reading
// waits of the program stay cancellable. On the embedded SQLite engine and on PostgreSQL through
// psqlODBC, with the program's way of waiting: work on a thread of its own.

namespace {

class BackgroundRead : public BackendTest {
protected:
    void SetUp() override {
        for (TADOConnection* c : {&connection, &other})
            c->SetLongWork(&work);
        connection.SetReadAhead(64 << 20, [] {});
        BackendTest::SetUp();
        source.SetDataSet(&query);
    }

    // Rows 1 .. count: the number, and `second` of it.
    std::u16string Numbers(long long count, std::u16string second = u"'row ' || x") const {
        std::u16string n = FromUtf8(std::to_string(count));
        return Pg() ? u"select x, " + second + u" from generate_series(1, " + n + u") x"
                    : u"with recursive c(x) as (select 1 union all select x + 1 from c where x < " +
                          n + u") select x, " + second + u" from c";
    }

    // Waits, as the program does, until the background reading has stopped, and takes in what
    // it brought.
    void WaitUntilReadingStops() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (query.ReadingAhead() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_FALSE(query.ReadingAhead());
        query.RowsArrived();
    }

    ThreadedWork work;
    TDataSource source;
};

TEST_P(BackgroundRead, TheRestComesInWithoutBeingAskedForAndIsAnnounced) {
    int changes = 0;
    TDataLink link([&](TDataEvent event) { changes += event == TDataEvent::DataSetChanged; });
    link.SetDataSource(&source);
    Open(query, Numbers(50000));
    WaitUntilReadingStops();
    EXPECT_TRUE(query.AllFetched());
    EXPECT_EQ(query.FetchedCount(), 50000u);
    EXPECT_GE(changes, 1) << "the grid hears that rows came in";
    query.MoveTo(49999);
    EXPECT_EQ(ToUtf8(query.Fields(1).AsString()), "row 50000");
    EXPECT_EQ(query.RecordCount(), 50000u);
}

// Without reading ahead, a result shown but not read to its end holds the database: a SQLite
// file stays locked against writers, a PostgreSQL cursor keeps its transaction and its locks.
TEST_P(BackgroundRead, TheDatabaseIsLetGoOnceTheLastRowIsIn) {
    Run(u"create table t (id integer primary key, v integer)");
    Run(u"insert into t (id, v) " + Numbers(20000, u"x"));
    Open(query, u"select * from t");
    WaitUntilReadingStops();
    ASSERT_TRUE(query.AllFetched());
    if (Pg()) {
        Run(u"set lock_timeout = '2s'");
        EXPECT_EQ(MessageOf([&] { Run(u"alter table t add column z integer"); }), "(no error)");
    } else {
        sqlite3* writer = nullptr;
        ASSERT_EQ(sqlite3_open(folder.File("test.db").string().c_str(), &writer), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(writer, "update t set v = v + 1", nullptr, nullptr, nullptr),
                  SQLITE_OK)
            << sqlite3_errmsg(writer);
        sqlite3_close(writer);
    }
    EXPECT_EQ(query.RecordCount(), 20000u) << "the rows stay";
}

TEST_P(BackgroundRead, ReadingStopsAtTheCeilingAndTheRestComesWhenAskedFor) {
    constexpr std::size_t ceiling = 256 * 1024;
    connection.SetReadAhead(ceiling, [] {});
    Open(query, Numbers(200000));
    WaitUntilReadingStops();
    EXPECT_FALSE(query.AllFetched());
    EXPECT_LT(query.FetchedCount(), 200000u);
    EXPECT_GE(query.CacheBytes(), ceiling);
    EXPECT_LT(query.CacheBytes(), 2 * ceiling);
    query.MoveTo(149999);
    EXPECT_EQ(ToUtf8(query.Fields(0).AsString()), "150000");
    query.Last();
    EXPECT_TRUE(query.AllFetched());
    EXPECT_EQ(query.FetchedCount(), 200000u);
}

TEST_P(BackgroundRead, AFailureInTheBackgroundIsRaisedByWhatNeedsTheMissingRows) {
    Open(query, Pg() ? u"select x, 1 / (2500 - x) from generate_series(1, 3000) x"
                     : u"with recursive c(x) as (select 1 union all select x + 1 from c where "
                       u"x < 3000) select x, case when x = 2500 then abs(-9223372036854775807 - "
                       u"1) else x end from c");
    WaitUntilReadingStops();
    EXPECT_FALSE(query.AllFetched());
    EXPECT_GE(query.FetchedCount(), 1u);
    std::string failure = MessageOf([&] { query.RecordCount(); });
    EXPECT_NE(failure, "(no error)");
    EXPECT_EQ(MessageOf([&] { query.Last(); }), failure) << "the same error each time";
    EXPECT_EQ(ToUtf8(query.Fields(0).AsString()), "1") << "the rows read stay";
    Open(query, u"select 42");
    EXPECT_EQ(RowsText(query), "42") << "the connection goes on";
}

TEST_P(BackgroundRead, ClosingWhileRowsComeInStopsTheReading) {
    Open(query, Numbers(2000000));
    EXPECT_TRUE(query.ReadingAhead());
    query.Close();
    EXPECT_FALSE(query.ReadingAhead());
    Open(query, u"select 42");
    EXPECT_EQ(RowsText(query), "42");
}

TEST_P(BackgroundRead, ACancelledWaitKeepsTheRowsAndTheRestCanStillBeRead) {
    Open(query, Numbers(1000000));
    work.cancelAfter = std::chrono::milliseconds(1);
    EXPECT_EQ(MessageOf([&] { query.RecordCount(); }),
              "Reading the rows was cancelled; those read so far are kept");
    EXPECT_EQ(work.cancels, 1);
    EXPECT_FALSE(query.AllFetched());
    EXPECT_GE(query.FetchedCount(), 1u);
    work.cancelAfter.reset();
    EXPECT_EQ(query.RecordCount(), 1000000u);
    query.Last();
    EXPECT_EQ(ToUtf8(query.Fields(1).AsString()), "row 1000000");
}

// Closing the connection reads the rest first; stopping that keeps the connection open.
TEST_P(BackgroundRead, StoppingTheReadBeforeAClosePutsTheCloseOff) {
    Open(query, Numbers(1000000));
    work.cancelAfter = std::chrono::milliseconds(1);
    EXPECT_EQ(MessageOf([&] { connection.Close(); }),
              "Reading the rows was cancelled; those read so far are kept");
    EXPECT_TRUE(connection.Connected());
    work.cancelAfter.reset();
    connection.Close();
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(query.RecordCount(), 1000000u) << "the rest came in before it closed";
}

TEST_P(BackgroundRead, AnEditWaitsForTheRestAndWritesAsBefore) {
    Run(u"create table t (id integer primary key, name varchar(20))");
    Run(u"insert into t (id, name) " + Numbers(10000));
    Open(query, u"select id, name from t order by id");
    query.MoveTo(1);
    query.Fields(1).SetText(u"two");
    query.Post();
    EXPECT_TRUE(query.AllFetched()) << "the first edit reads the rest";
    Open(otherQuery, u"select name from t where id = 2");
    EXPECT_EQ(RowsText(otherQuery), "two");
}

INSTANTIATE_TEST_SUITE_P(, BackgroundRead, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         BackendName);

} // namespace

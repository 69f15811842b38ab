#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <ostream>
#include <thread>

#include "base/Text.h"
#include "data/drivers/Driver.h"
#include "tests/native/DriverValues.h"
#include "tests/native/Loopback.h"
#include "tests/native/MessageOf.h"
#include "tests/native/PostgresFixture.h"
#include "tests/native/TempFolder.h"

// Cancelling a connection's running call from another thread, on the embedded SQLite engine and
// on PostgreSQL through psqlODBC. Times are printed, and checked only against bounds far below
// how long the statements would run.

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A count far beyond what finishes within a test's time; cancelled long before its end.
constexpr const char16_t* kSlowCount =
    u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 300000000) "
    u"SELECT count(*) FROM c";

// The first row comes at once, the second only at the end of the count.
constexpr const char16_t* kSlowSecondRow =
    u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 300000000) "
    u"SELECT x FROM c WHERE x IN (1, 300000000)";

struct Stopped {
    std::string message;
    Clock::duration sinceCancel{}; // from the first Cancel to the error
    Clock::duration total{};
};

// Runs `work` on a thread of its own and cancels the connection from this one after 200 ms,
// repeating as the contract asks of a caller until the work returns.
Stopped CancelWhileRunning(DriverConnection& db, const std::function<void()>& work) {
    Stopped stopped;
    std::atomic<bool> done{false};
    Clock::time_point start = Clock::now(), ended;
    std::thread worker([&] {
        stopped.message = MessageOf(work);
        ended = Clock::now();
        done = true;
    });
    std::this_thread::sleep_for(200ms);
    Clock::time_point cancelled = Clock::now();
    for (Clock::time_point next = cancelled; !done; std::this_thread::sleep_for(1ms)) {
        if (Clock::now() >= next) {
            db.Cancel();
            next += 50ms;
        }
    }
    worker.join();
    stopped.sinceCancel = ended - cancelled;
    stopped.total = ended - start;
    return stopped;
}

// What "select 1" gives, without its kind (the SQLite ODBC driver gives text), or its error.
std::string SelectOne(DriverConnection& db) {
    std::string shown;
    std::string message = MessageOf([&] {
        auto result = db.OpenResult(u"select 1");
        std::vector<CellValue> row;
        shown = result && result->Fetch(row) && row.size() == 1 ? Show(row[0]) : "<no row>";
    });
    return message == "(no error)" ? shown.substr(shown.find(':') + 1) : message;
}

// The embedded engine, the tests' PostgreSQL server through psqlODBC (skipped without it), and
// the SQLite ODBC driver, whose SQLCancel also stops the reading of rows.
enum class Database { Sqlite, Postgres, SqliteOdbc };

class Connected : public PostgresFixture {
protected:
    void SetUp() override {}
    void Connect(Database database) {
        std::u16string file = FromUtf8(folder.File("cancel.db").string());
        if (database == Database::Postgres)
            PostgresFixture::SetUp();
        else if (database == Database::Sqlite)
            db = ConnectSqlite(file);
        else
            db = ConnectDriver(u"Provider=MSDASQL;Extended Properties='Driver={SQLite3};Database=" +
                                   file + u"'",
                               15);
    }

    TempFolder folder;
};

struct SlowCase {
    const char* name;
    Database database;
    const char16_t* sql;
    enum class Call { Open, Execute, ExecuteInTransaction } call;
    int rowsBeforeSlow; // rows an open result gives at once, before the slow one
    const char* message;
};

void PrintTo(const SlowCase& c, std::ostream* os) {
    *os << c.name;
}

class SlowStatement : public Connected, public ::testing::WithParamInterface<SlowCase> {
protected:
    void SetUp() override { Connect(GetParam().database); }
};

TEST_P(SlowStatement, CancelEndsItWithTheDatabasesMessageAndTheNextStatementRuns) {
    const SlowCase& c = GetParam();
    std::unique_ptr<DriverResult> result; // kept past the next statement, as a grid keeps it
    int rows = 0;
    if (c.call == SlowCase::Call::ExecuteInTransaction)
        db->BeginTransaction();
    Stopped stopped = CancelWhileRunning(*db, [&] {
        if (c.call != SlowCase::Call::Open) {
            db->Execute(c.sql);
            return;
        }
        result = db->OpenResult(c.sql);
        std::vector<CellValue> row;
        while (result->Fetch(row))
            ++rows;
    });
    std::printf("[ measured ] %s: error %.0f ms after Cancel (%.0f ms after the start)\n", c.name,
                Milliseconds(stopped.sinceCancel), Milliseconds(stopped.total));
    EXPECT_NE(stopped.message.find(c.message), std::string::npos) << stopped.message;
    EXPECT_LT(stopped.total, 10s);
    EXPECT_EQ(rows, c.rowsBeforeSlow);
    if (c.call == SlowCase::Call::ExecuteInTransaction)
        db->Rollback();
    EXPECT_EQ(SelectOne(*db), "1");
}

constexpr const char* kPostgresCancelled = "canceling statement due to user request";

INSTANTIATE_TEST_SUITE_P(
    Databases, SlowStatement,
    ::testing::Values(
        SlowCase{"SqliteOpen", Database::Sqlite, kSlowCount, SlowCase::Call::Open, 0,
                 "interrupted"},
        SlowCase{"SqliteExecute", Database::Sqlite, kSlowCount, SlowCase::Call::Execute, 0,
                 "interrupted"},
        SlowCase{"SqliteExecuteInTransaction", Database::Sqlite,
                 u"CREATE TABLE t AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c "
                 u"WHERE x < 300000000) SELECT x FROM c",
                 SlowCase::Call::ExecuteInTransaction, 0, "interrupted"},
        SlowCase{"SqliteFetch", Database::Sqlite, kSlowSecondRow, SlowCase::Call::Open, 1,
                 "interrupted"},
        SlowCase{"SqliteOdbcOpen", Database::SqliteOdbc, kSlowCount, SlowCase::Call::Open, 0,
                 "interrupted"},
        SlowCase{"SqliteOdbcFetch", Database::SqliteOdbc, kSlowSecondRow, SlowCase::Call::Open, 1,
                 "interrupted"},
        SlowCase{"PostgresSleep", Database::Postgres, u"select pg_sleep(30)", SlowCase::Call::Open,
                 0, kPostgresCancelled},
        SlowCase{"PostgresJoin", Database::Postgres,
                 u"select count(*) from generate_series(1, 100000) a, generate_series(1, 100000) b",
                 SlowCase::Call::Open, 0, kPostgresCancelled},
        SlowCase{"PostgresExecute", Database::Postgres, u"select pg_sleep(30)",
                 SlowCase::Call::Execute, 0, kPostgresCancelled},
        SlowCase{"PostgresExecuteInTransaction", Database::Postgres,
                 u"create temp table t as select 1 as x from pg_sleep(30)",
                 SlowCase::Call::ExecuteInTransaction, 0, kPostgresCancelled},
        // psqlODBC reads a result through a cursor in blocks of 1000 rows: the first block
        // comes at once, the next sleeps 0.5 s a row.
        SlowCase{"PostgresFetch", Database::Postgres,
                 u"select g, case when g > 1000 then pg_sleep(0.5) end from "
                 u"generate_series(1, 1100) as g",
                 SlowCase::Call::Open, 1000, kPostgresCancelled}),
    [](const auto& info) { return std::string(info.param.name); });

struct DatabaseCase {
    const char* name;
    Database database;
    const char16_t* slow;
    const char16_t* brief; // short, yet long enough that a cancel kept for it would stop it
};

void PrintTo(const DatabaseCase& c, std::ostream* os) {
    *os << c.name;
}

class EachDatabase : public Connected, public ::testing::WithParamInterface<DatabaseCase> {
protected:
    void SetUp() override { Connect(GetParam().database); }
};

// Rows enough that PostgreSQL's cursor still has blocks to fetch.
constexpr const char16_t* kManyRows =
    u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 5000) "
    u"SELECT x FROM c";

int RowsLeft(DriverResult& result) {
    int rows = 0;
    std::vector<CellValue> row;
    while (result.Fetch(row))
        ++rows;
    return rows;
}

TEST_P(EachDatabase, ACancelWithNothingRunningChangesNothing) {
    db->Cancel();
    auto result = db->OpenResult(kManyRows);
    std::vector<CellValue> row;
    ASSERT_TRUE(result->Fetch(row));
    db->Cancel();
    EXPECT_EQ(RowsLeft(*result), 4999);
    result.reset();
    db->Cancel();
    EXPECT_EQ(MessageOf([&] { db->Execute(GetParam().brief); }), "(no error)");
    EXPECT_EQ(SelectOne(*db), "1");
}

// SQLite's own interrupt stays in force until no statement is open, and a rollback of
// PostgreSQL's failed transaction would end every cursor: neither may reach a result that was
// open before the cancelled call.
TEST_P(EachDatabase, AResultOpenBeforeTheCancelledCallReadsOn) {
    auto open = db->OpenResult(kManyRows);
    std::vector<CellValue> row;
    ASSERT_TRUE(open->Fetch(row));
    Stopped stopped = CancelWhileRunning(*db, [&] { db->Execute(GetParam().slow); });
    EXPECT_LT(stopped.total, 10s);
    EXPECT_EQ(RowsLeft(*open), 4999);
}

INSTANTIATE_TEST_SUITE_P(
    Databases, EachDatabase,
    ::testing::Values(DatabaseCase{"Sqlite", Database::Sqlite, kSlowCount,
                                   u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c "
                                   u"WHERE x < 100000) SELECT count(*) FROM c"},
                      DatabaseCase{"Postgres", Database::Postgres, u"select pg_sleep(30)",
                                   u"select pg_sleep(0.3)"}),
    [](const auto& info) { return std::string(info.param.name); });

class PostgresCancel : public PostgresFixture {};

// Told to leave a failed statement's transaction to the program, psqlODBC keeps the transaction
// of its cursors failed after a cancel. The first block of 100 rows comes at once.
TEST_F(PostgresCancel, AReadCancelledLeavesNoFailedTransaction) {
    auto keeping = ConnectOdbc(u"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" +
                                   FromUtf8(std::getenv("QRYDESK_PG_PORT")) +
                                   u";Database=postgres;UID=postgres;UseDeclareFetch=1;"
                                   u"Fetch=100;Protocol=7.4-0",
                               15);
    Stopped stopped = CancelWhileRunning(*keeping, [&] {
        auto result = keeping->OpenResult(u"select g, case when g > 100 then pg_sleep(0.5) end "
                                          u"from generate_series(1, 200) as g");
        RowsLeft(*result);
    });
    EXPECT_NE(stopped.message.find(kPostgresCancelled), std::string::npos) << stopped.message;
    EXPECT_EQ(SelectOne(*keeping), "1");
}

// No call can be cancelled before the connection exists; a server that takes the connection and
// never answers is given up after the login time-out.
TEST(OdbcLoginTimeOut, EndsAConnectToAServerThatNeverAnswers) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    int port = BindToLoopback(listener);
    ASSERT_NE(port, 0);
    ASSERT_EQ(listen(listener, 4), 0);
    Clock::time_point start = Clock::now();
    std::string message = MessageOf([&] {
        ConnectDriver(u"Provider=MSDASQL;Extended Properties='Driver={PostgreSQL Unicode};"
                      u"Server=127.0.0.1;Port=" +
                          IntToStr(port) + u";Database=postgres;UID=postgres'",
                      2);
    });
    Clock::duration took = Clock::now() - start;
    close(listener);
    std::printf("[ measured ] psqlODBC login time-out of 2 s: gave up after %.0f ms\n",
                Milliseconds(took));
    EXPECT_NE(message.find("timeout expired"), std::string::npos) << message;
    EXPECT_LT(took, 10s);
}

} // namespace

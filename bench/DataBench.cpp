// Reading a large SQLite result through the data layer, against the SQLite C API doing the
// same work. Run: cmake --preset bench && cmake --build --preset bench &&
// build/bench/bench/data_bench
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/Runtime.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"

namespace {

constexpr int tableRows = 1000000;
const char16_t* const selectAll = u"select id, name, amount, stamp, note from t";

std::string DatabasePath() {
    return (std::filesystem::temp_directory_path() / "qrydesk-bench-1m.db").string();
}

// Five columns: an integer key, a short text, a real, a date-time as text and a 30-character
// text. Built once and kept between runs.
void PrepareDatabase() {
    std::string path = DatabasePath();
    if (std::filesystem::exists(path))
        return;
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    char* error = nullptr;
    sqlite3_exec(db,
                 "create table t (id integer primary key, name text, amount real, stamp text, "
                 "note text);"
                 "with recursive c(x) as (select 1 union all select x + 1 from c limit 1000000) "
                 "insert into t select x, 'name ' || x, x * 1.25, "
                 "datetime(1700000000 + x * 60, 'unixepoch'), "
                 "substr(hex(randomblob(15)), 1, 30) from c;",
                 nullptr, nullptr, &error);
    if (error)
        std::fprintf(stderr, "bench: %s\n", error);
    sqlite3_close(db);
}

TADOConnection& Connection(const std::u16string& connectionString) {
    static TADOConnection connection;
    if (connection.ConnectionString() != connectionString) {
        connection.Close();
        connection.SetConnectionString(connectionString);
    }
    connection.Open();
    return connection;
}

std::u16string EmbeddedString() {
    return u"Provider=SQLite;Data Source=" + FromUtf8(DatabasePath());
}

std::u16string OdbcString() {
    return u"Provider=MSDASQL;Extended Properties=\"Driver={SQLite3};Database=" +
           FromUtf8(DatabasePath()) + u"\"";
}

// Reads `rows` rows (all when negative), every value as text into one reused buffer.
void ReadThroughLayer(const std::u16string& connectionString, long rows, benchmark::State& state) {
    TADOQuery query;
    query.SetConnection(&Connection(connectionString));
    std::u16string text;
    std::size_t total = 0;
    for (auto _ : state) {
        query.SetSQL({selectAll});
        query.Open();
        long count = 0;
        for (query.First(); !query.Eof() && count != rows; query.Next(), ++count) {
            for (int i = 0; i < query.FieldCount(); ++i) {
                text = query.Fields(i).AsString();
                total += text.size();
            }
        }
        state.counters["bytes/row"] = double(query.CacheBytes()) / double(query.FetchedCount());
        query.Close();
    }
    benchmark::DoNotOptimize(total);
}

void ReadThroughSqlite(long rows, benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open(DatabasePath().c_str(), &db);
    std::vector<char16_t> buffer(4096);
    std::size_t total = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare16_v2(db, selectAll, -1, &stmt, nullptr);
        int columns = sqlite3_column_count(stmt);
        for (long count = 0; count != rows && sqlite3_step(stmt) == SQLITE_ROW; ++count) {
            for (int i = 0; i < columns; ++i) {
                auto* value = static_cast<const char16_t*>(sqlite3_column_text16(stmt, i));
                std::size_t units = sqlite3_column_bytes16(stmt, i) / 2;
                std::copy(value, value + units, buffer.data());
                total += units;
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    benchmark::DoNotOptimize(total);
}

void BM_First100_Layer(benchmark::State& state) {
    ReadThroughLayer(EmbeddedString(), 100, state);
}
void BM_First100_SqliteApi(benchmark::State& state) {
    ReadThroughSqlite(100, state);
}
void BM_WalkAll_Layer(benchmark::State& state) {
    ReadThroughLayer(EmbeddedString(), -1, state);
}
void BM_WalkAll_SqliteApi(benchmark::State& state) {
    ReadThroughSqlite(-1, state);
}
void BM_WalkAll_LayerOverOdbc(benchmark::State& state) {
    ReadThroughLayer(OdbcString(), -1, state);
}

BENCHMARK(BM_First100_Layer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_First100_SqliteApi)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WalkAll_Layer)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WalkAll_SqliteApi)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WalkAll_LayerOverOdbc)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

// Runs are interleaved and repeated, and only medians (with the other aggregates) are
// reported, so that a slow moment of the machine does not favour either side.
int main(int argc, char** argv) {
    FormatSettings.ShortDateFormat = u"M/d/yyyy";
    FormatSettings.LongTimeFormat = u"h:mm:ss tt";
    PrepareDatabase();
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=7";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions, interleave, aggregates});
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

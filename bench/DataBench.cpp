// Reading a large SQLite result through the data layer, against the SQLite C API doing the
// same work. Run: cmake --preset bench && cmake --build --preset bench &&
// build/bench/bench/data_bench
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <vector>

#include "BenchSupport.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"

namespace {

TADOConnection& Connection(const std::u16string& connectionString) {
    static TADOConnection connection;
    if (connection.ConnectionString() != connectionString) {
        connection.Close();
        connection.SetConnectionString(connectionString);
    }
    connection.Open();
    return connection;
}

std::u16string OdbcString() {
    return u"Provider=MSDASQL;Extended Properties=\"Driver={SQLite3};Database=" +
           FromUtf8(BenchDatabasePath()) + u"\"";
}

// Reads `rows` rows (all when negative), every value as text into one reused buffer.
void ReadThroughLayer(const std::u16string& connectionString, long rows, benchmark::State& state) {
    TADOQuery query(BenchPlatform());
    query.SetConnection(&Connection(connectionString));
    std::u16string text;
    std::size_t total = 0;
    for (auto _ : state) {
        query.SetSQL({benchSelectAll});
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
    sqlite3_open(BenchDatabasePath().c_str(), &db);
    std::vector<char16_t> buffer(4096);
    std::size_t total = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare16_v2(db, benchSelectAll, -1, &stmt, nullptr);
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
    ReadThroughLayer(BenchEmbeddedString(), 100, state);
}
void BM_First100_SqliteApi(benchmark::State& state) {
    ReadThroughSqlite(100, state);
}
void BM_WalkAll_Layer(benchmark::State& state) {
    ReadThroughLayer(BenchEmbeddedString(), -1, state);
}
void BM_WalkAll_SqliteApi(benchmark::State& state) {
    ReadThroughSqlite(-1, state);
}
void BM_WalkAll_LayerOverOdbc(benchmark::State& state) {
    ReadThroughLayer(OdbcString(), -1, state);
}

// The first edit of a freshly opened result: it reads the rest of the result (so that the
// connection is free for the write), finds the table's key, and writes one row.
void BM_FirstEdit_Layer(benchmark::State& state) {
    TADOQuery query(BenchPlatform());
    query.SetConnection(&Connection(BenchEmbeddedString()));
    int round = 0;
    for (auto _ : state) {
        query.SetSQL({benchSelectAll});
        query.Open();
        query.MoveTo(10);
        query.Fields(1).SetText(++round % 2 ? u"edited" : u"name");
        query.Post();
        query.Close();
    }
}
// Each further edit: one UPDATE in a transaction of its own.
void BM_NextEdit_Layer(benchmark::State& state) {
    TADOQuery query(BenchPlatform());
    query.SetConnection(&Connection(BenchEmbeddedString()));
    query.SetSQL({benchSelectAll});
    query.Open();
    query.MoveTo(10);
    query.CanModify();
    int round = 0;
    for (auto _ : state) {
        query.Fields(1).SetText(++round % 2 ? u"edited" : u"name");
        query.Post();
    }
}

BENCHMARK(BM_First100_Layer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_First100_SqliteApi)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WalkAll_Layer)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WalkAll_SqliteApi)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WalkAll_LayerOverOdbc)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FirstEdit_Layer)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_NextEdit_Layer)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}

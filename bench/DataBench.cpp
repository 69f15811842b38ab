// Reading a large SQLite result through the data layer, against the SQLite C API doing the
// same work, timed as pairs. Run: cmake --preset bench && cmake --build --preset bench &&
// build/bench/bench/data_bench
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
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

// Opens the table and reads `rows` rows (all when negative) through the layer, every value's
// text copied into one buffer, as the raw loop below does; then closes it again.
struct LayerReader {
    explicit LayerReader(const std::u16string& connectionString) {
        query.SetConnection(&Connection(connectionString));
    }
    void Read(long rows) {
        query.SetSQL({benchSelectAll});
        query.Open();
        long count = 0;
        for (query.First(); !query.Eof() && count != rows; query.Next(), ++count) {
            for (int i = 0; i < query.FieldCount(); ++i) {
                std::u16string_view text = query.Fields(i).AsStringView(scratch);
                std::copy(text.begin(), text.end(), buffer.data());
                total += text.size();
            }
        }
        bytesPerRow = double(query.CacheBytes()) / double(query.FetchedCount());
        query.Close();
    }

    TADOQuery query{BenchPlatform()};
    std::u16string scratch;
    std::vector<char16_t> buffer = std::vector<char16_t>(4096);
    std::size_t total = 0;
    double bytesPerRow = 0;
};

// The same through the SQLite C API: every value as UTF-16 text, copied into one buffer.
struct SqliteReader {
    SqliteReader() { sqlite3_open(BenchDatabasePath().c_str(), &db); }
    ~SqliteReader() { sqlite3_close(db); }
    void Read(long rows) {
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

    sqlite3* db = nullptr;
    std::vector<char16_t> buffer = std::vector<char16_t>(4096);
    std::size_t total = 0;
};

// Ours and the C API, as pairs, over the first `rows` rows (all when negative).
void ReadPairs(benchmark::State& state, const char* measure, long rows) {
    LayerReader ours(BenchEmbeddedString());
    SqliteReader raw;
    TimePair(
        state, measure, [&] { ours.Read(rows); }, [&] { raw.Read(rows); });
    state.counters["bytes/row"] = ours.bytesPerRow;
    benchmark::DoNotOptimize(ours.total + raw.total);
}

void BM_First100(benchmark::State& state) {
    ReadPairs(state, "open and read the first 100 rows", 100);
}
void BM_WalkAll(benchmark::State& state) {
    ReadPairs(state, "walk every value as text", -1);
}
void BM_WalkAll_LayerOverOdbc(benchmark::State& state) {
    LayerReader ours(OdbcString());
    for (auto _ : state)
        ours.Read(-1);
    benchmark::DoNotOptimize(ours.total);
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

BENCHMARK(BM_First100)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(50);
BENCHMARK(BM_WalkAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_WalkAll_LayerOverOdbc)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FirstEdit_Layer)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_NextEdit_Layer)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}

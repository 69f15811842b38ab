// The Copy button's text from the million-row table: through the data layer, against a plain
// SQLite C API loop writing the same text into a buffer allocated beforehand, timed as pairs. Both
// stop at the limit, so the time grows with the limit and not with the table. Run: cmake --preset
// bench && cmake --build --preset bench --target copy_bench && build/bench/bench/copy_bench
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "app/CopyText.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"

namespace {

// Through the layer: a fresh query on an open connection, as after Open, then the copy's walk.
void CopyThroughLayer(TADOConnection& connection, CopyText& text, std::size_t* rows) {
    TADOQuery query(BenchPlatform());
    query.SetConnection(&connection);
    query.SetSQL({benchSelectAll});
    query.Open();
    QueryCopyRows source(query);
    text.Build(source);
    *rows = query.FetchedCount();
}

// The same text straight from the C API. Every value comes from sqlite3_column_text16; SQLite
// writes a whole real with ".0", which the program's text leaves out.
std::size_t CopyThroughSqlite(sqlite3* db, char16_t* buffer, std::size_t limit, std::size_t* rows) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare16_v2(db, benchSelectAll, -1, &stmt, nullptr);
    int columns = sqlite3_column_count(stmt);
    std::size_t length = 0;
    bool full = false;
    auto append = [&](const char16_t* piece, std::size_t units) {
        if (units >= limit - length) {
            units = limit - length;
            full = true;
        }
        std::copy(piece, piece + units, buffer + length);
        length += units;
    };
    *rows = 0;
    while (!full && sqlite3_step(stmt) == SQLITE_ROW) {
        ++*rows;
        for (int i = 0; i < columns && !full; ++i) {
            if (i > 0)
                append(u"\t", 1);
            bool real = sqlite3_column_type(stmt, i) == SQLITE_FLOAT; // before any conversion
            auto* value = static_cast<const char16_t*>(sqlite3_column_text16(stmt, i));
            std::size_t units = std::size_t(sqlite3_column_bytes16(stmt, i)) / 2;
            if (real && units > 2 && value[units - 2] == u'.' && value[units - 1] == u'0')
                units -= 2;
            append(value, units);
        }
        if (!full)
            append(u"\r\n", 2);
    }
    sqlite3_finalize(stmt);
    return length;
}

TADOConnection& Connection() {
    static TADOConnection connection;
    if (!connection.Connected()) {
        connection.SetConnectionString(BenchEmbeddedString());
        connection.Open();
    }
    return connection;
}

void BM_Copy(benchmark::State& state) {
    std::size_t limit = std::size_t(state.range(0));
    CopyText text(limit);
    std::unique_ptr<char16_t[]> buffer(new char16_t[limit + 1]);
    sqlite3* db = nullptr;
    sqlite3_open(BenchDatabasePath().c_str(), &db);
    std::size_t oursRows = 0, rawRows = 0, rawLength = 0;
    TimePair(
        state, "Copy at " + std::to_string(limit) + " characters",
        [&] { CopyThroughLayer(Connection(), text, &oursRows); },
        [&] { rawLength = CopyThroughSqlite(db, buffer.get(), limit, &rawRows); });
    sqlite3_close(db);
    benchmark::DoNotOptimize(text.Text().data());
    benchmark::DoNotOptimize(rawLength);
    state.counters["rows read"] = double(oursRows);
}

// The limit, then halves of it: the time should halve with it.
void Limits(benchmark::internal::Benchmark* bench) {
    for (long limit : {long(CopyTextLimit), long(CopyTextLimit / 2), long(CopyTextLimit / 4)})
        bench->Arg(limit);
    bench->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
}

BENCHMARK(BM_Copy)->Apply(Limits);

// Both sides must produce the same text, or the comparison means nothing.
bool SameText() {
    CopyText text;
    std::size_t rows = 0;
    CopyThroughLayer(Connection(), text, &rows);
    std::unique_ptr<char16_t[]> buffer(new char16_t[CopyTextLimit + 1]);
    sqlite3* db = nullptr;
    sqlite3_open(BenchDatabasePath().c_str(), &db);
    std::size_t length = CopyThroughSqlite(db, buffer.get(), CopyTextLimit, &rows);
    sqlite3_close(db);
    return text.Text() == std::u16string_view(buffer.get(), length);
}

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv, [] {
        if (SameText())
            return true;
        std::fprintf(stderr, "copy_bench: the two sides build different text\n");
        return false;
    });
}

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "base/Text.h"
#include "platform/FakePlatform.h"

namespace {

void PrepareDatabase() {
    MakeDatabaseOnce(
        BenchDatabasePath(),
        "create table t (id integer primary key, name text, amount real, stamp text, "
        "note text);"
        "with recursive c(x) as (select 1 union all select x + 1 from c limit 1000000) "
        "insert into t select x, 'name ' || x, x * 1.25, "
        "datetime(1700000000 + x * 60, 'unixepoch'), "
        "substr(hex(randomblob(15)), 1, 30) from c;");
}

struct Pair {
    double oursMs;
    double rawMs;
};

// Every pair timed so far, by benchmark name (with its arguments), in the order timed.
std::map<std::string, std::vector<Pair>>& Pairs() {
    static std::map<std::string, std::vector<Pair>> pairs;
    return pairs;
}

double Millis(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The value a fraction `at` of the way through the sorted values, between neighbours.
double Quantile(const std::vector<double>& sorted, double at) {
    double position = at * double(sorted.size() - 1);
    auto below = std::size_t(position);
    if (below + 1 >= sorted.size())
        return sorted.back();
    double part = position - double(below);
    return sorted[below] * (1 - part) + sorted[below + 1] * part;
}

std::vector<double> Sorted(const std::vector<Pair>& pairs, double (*of)(const Pair&)) {
    std::vector<double> values;
    for (const Pair& pair : pairs)
        values.push_back(of(pair));
    std::sort(values.begin(), values.end());
    return values;
}

void PrintPairs() {
    if (Pairs().empty())
        return;
    std::printf("\nPairs, ours against the raw C API, back to back in alternating order:\n");
    std::printf("%-36s %5s %10s %10s %7s %15s %15s\n", "measure", "pairs", "ours ms", "raw ms",
                "ratio", "quartiles", "range");
    for (const auto& [name, pairs] : Pairs()) {
        auto ours = Sorted(pairs, [](const Pair& p) { return p.oursMs; });
        auto raw = Sorted(pairs, [](const Pair& p) { return p.rawMs; });
        auto ratios = Sorted(pairs, [](const Pair& p) { return p.oursMs / p.rawMs; });
        std::printf("%-36s %5zu %10.3f %10.3f %7.3f %7.3f-%-7.3f %7.3f-%-7.3f\n", name.c_str(),
                    pairs.size(), Quantile(ours, 0.5), Quantile(raw, 0.5), Quantile(ratios, 0.5),
                    Quantile(ratios, 0.25), Quantile(ratios, 0.75), ratios.front(), ratios.back());
    }
}

} // namespace

void TimePair(benchmark::State& state, const std::string& measure,
              const std::function<void()>& ours, const std::function<void()>& raw) {
    std::vector<Pair>& pairs = Pairs()[measure];
    for (auto _ : state) {
        Pair pair{};
        if (pairs.size() % 2 == 0) {
            pair.oursMs = Millis(ours);
            pair.rawMs = Millis(raw);
        } else {
            pair.rawMs = Millis(raw);
            pair.oursMs = Millis(ours);
        }
        pairs.push_back(pair);
        state.SetIterationTime(pair.oursMs / 1000);
    }
}

void MakeDatabaseOnce(const std::string& path, const char* sql) {
    if (std::filesystem::exists(path))
        return;
    std::string building = path + ".new";
    std::filesystem::remove(building);
    sqlite3* db = nullptr;
    sqlite3_open(building.c_str(), &db);
    char* error = nullptr;
    sqlite3_exec(db, sql, nullptr, nullptr, &error);
    sqlite3_close(db);
    if (error) {
        std::fprintf(stderr, "bench: %s\n", error);
        sqlite3_free(error);
        return;
    }
    std::filesystem::rename(building, path);
}

std::string BenchDatabasePath() {
    return (std::filesystem::temp_directory_path() / "qrydesk-bench-1m.db").string();
}

std::u16string BenchEmbeddedString() {
    return u"Provider=SQLite;Data Source=" + FromUtf8(BenchDatabasePath());
}

const Platform& BenchPlatform() {
    static const FakePlatform platform; // "M/d/yyyy", "h:mm:ss tt" and "."
    return platform;
}

int RunBenchmarks(int argc, char** argv, bool (*check)()) {
    PrepareDatabase();
    if (check && !check())
        return 1;
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=7";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions, interleave, aggregates});
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintPairs();
    return 0;
}

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
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

} // namespace

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
    return 0;
}

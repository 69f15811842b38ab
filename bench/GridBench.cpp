// The result grid's work per screen on a million-row SQLite result: what painting asks of the
// model (every visible cell's text and the row markers), paging through 1,000 screens, and the
// time from Open to the first screen. The drawing itself is Win32 and is not measured here.
// Run: cmake --preset bench && cmake --build --preset bench --target grid_bench &&
// build/bench/bench/grid_bench
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchSupport.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "data/DataSource.h"
#include "grid/GridModel.h"
#include "grid/QueryRowSource.h"

namespace {

const char16_t* const selectAll = u"select id, name, amount, stamp, note from t order by id";

std::string DatabasePath() {
    return (std::filesystem::temp_directory_path() / "qrydesk-gridbench-1m.db").string();
}

// Declared kinds as a user's table has them: an integer key, sized text, a decimal, a
// date-time and unsized text, some of it Hebrew. Built once and kept between runs.
void PrepareDatabase() {
    MakeDatabaseOnce(
        DatabasePath(),
        "create table t (id integer primary key, name varchar(30), "
        "amount decimal(10,2), stamp datetime, note text);"
        "with recursive c(x) as (select 1 union all select x + 1 from c limit 1000000) "
        "insert into t select x, 'name ' || x, (x * 7919 % 100000) / 100.0, "
        "datetime(1700000000 + x * 60, 'unixepoch'), "
        "case x % 3 when 0 then 'משלוח רגיל' when 1 then 'express' end from c;");
}

// The grid of the program's window at 96 dpi: 733 by 284 client pixels once its border and
// scroll bars are taken off, Tahoma 8 measured as Windows measures it.
GridMetrics Tahoma8() {
    GridMetrics metrics;
    metrics.zeroWidth = 6;
    metrics.cellTextHeight = 13;
    metrics.titleTextHeight = 13;
    metrics.titleTextWidth = [](std::u16string_view title) { return int(title.size()) * 6; };
    return metrics;
}

// A query bound to a grid model through a data source, as in the window.
struct Grid {
    Grid() {
        connection.SetConnectionString(u"Provider=SQLite;Data Source=" + FromUtf8(DatabasePath()));
        query.SetConnection(&connection);
        source.SetDataSet(&query);
        link.SetDataSource(&source);
        model.SetMetrics(Tahoma8());
        model.SetClientSize(716, 284);
        model.SetRowSource(&rows);
    }
    void Open(const std::u16string& sql) {
        query.SetSQL({sql});
        query.Open();
    }

    TADOConnection connection;
    TADOQuery query{BenchPlatform()};
    TDataSource source;
    QueryRowSource rows{&query};
    GridModel model;
    TDataLink link{[this](TDataEvent event) { model.RowsChanged(RowEventFor(event)); }};
};

// What one paint asks of the model: every visible cell's text and each line's marker.
std::size_t PrepareScreen(const GridModel& model) {
    std::size_t units = 0;
    for (int line = 0; line < model.LinesOnScreen(); ++line) {
        std::size_t row;
        if (!model.RowOnLine(line, row))
            continue;
        units += std::size_t(model.Marker(row));
        for (int c = 0; c < model.ColumnCount(); ++c)
            units += model.Text(row, c).size();
    }
    return units;
}

void BM_OpenToFirstScreen(benchmark::State& state) {
    Grid grid;
    std::size_t units = 0;
    for (auto _ : state) {
        grid.Open(selectAll);
        units += PrepareScreen(grid.model);
        state.PauseTiming();
        state.counters["rows read"] = double(grid.query.FetchedCount());
        grid.query.Close();
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(units);
}

// One screen at the given row of a result of `rows` rows, all of it read beforehand.
void PrepareScreenAt(benchmark::State& state, const std::u16string& sql, std::size_t row) {
    Grid grid;
    grid.Open(sql);
    grid.query.RecordCount();
    grid.query.MoveTo(row);
    std::size_t units = 0;
    for (auto _ : state)
        units += PrepareScreen(grid.model);
    state.counters["lines"] = grid.model.LinesOnScreen();
    benchmark::DoNotOptimize(units);
}

void BM_Screen_TenRowResult(benchmark::State& state) {
    PrepareScreenAt(state, u"select id, name, amount, stamp, note from t where id <= 10", 0);
}
void BM_Screen_MillionRowResult_Row999000(benchmark::State& state) {
    PrepareScreenAt(state, selectAll, 999000);
}

// 1,000 Page Downs from the first row, each followed by a screen's texts. Fresh: every page
// reads its rows from the database; cached: the rows were read before.
void Page1000(benchmark::State& state, bool fresh) {
    Grid grid;
    if (!fresh)
        grid.Open(selectAll);
    std::size_t units = 0;
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            grid.Open(selectAll);
            state.ResumeTiming();
        } else {
            grid.model.KeyDown(GridKey::Home, {false, true, false});
        }
        for (int page = 0; page < 1000; ++page) {
            grid.model.KeyDown(GridKey::PageDown, {});
            units += PrepareScreen(grid.model);
        }
        state.counters["last row"] = double(grid.model.CurrentRow());
        state.counters["rows read"] = double(grid.query.FetchedCount());
    }
    benchmark::DoNotOptimize(units);
}

void BM_Page1000Screens_Fresh(benchmark::State& state) {
    Page1000(state, true);
}
void BM_Page1000Screens_Cached(benchmark::State& state) {
    Page1000(state, false);
}

// 1,000 Page Ups from the last of the million rows: the same work as near the top.
void BM_Page1000Screens_FromTheEnd(benchmark::State& state) {
    Grid grid;
    grid.Open(selectAll);
    grid.query.RecordCount();
    std::size_t units = 0;
    for (auto _ : state) {
        grid.model.KeyDown(GridKey::End, {false, true, false});
        for (int page = 0; page < 1000; ++page) {
            grid.model.KeyDown(GridKey::PageUp, {});
            units += PrepareScreen(grid.model);
        }
        state.counters["last row"] = double(grid.model.CurrentRow());
    }
    benchmark::DoNotOptimize(units);
}

BENCHMARK(BM_OpenToFirstScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen_TenRowResult)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Screen_MillionRowResult_Row999000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Page1000Screens_Fresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Page1000Screens_Cached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Page1000Screens_FromTheEnd)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    PrepareDatabase();
    return RunBenchmarks(argc, argv);
}

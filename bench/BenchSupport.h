#pragma once

#include <functional>
#include <string>

#include "platform/Platform.h"

namespace benchmark {
class State;
}

// The million-row SQLite table the benchmarks read: an integer key, a short text, a real, a
// date-time as text and a 30-character text. Made once in the temporary folder and kept.
inline constexpr int benchTableRows = 1000000;
inline constexpr char16_t benchSelectAll[] = u"select id, name, amount, stamp, note from t";

std::string BenchDatabasePath();
// Runs `sql` on a new database file at `path` unless the file exists; the file appears only
// once complete, so an interrupted run does not leave half a table behind.
void MakeDatabaseOnce(const std::string& path, const char* sql);
// The connection string of the embedded engine on that file.
std::u16string BenchEmbeddedString();
// What the benchmarks' queries show values by: the fake platform, with fixed date patterns
// and a "." separator.
const Platform& BenchPlatform();

// Times our side against the raw C API doing the same work as pairs: every iteration runs the
// two back to back, in turn each of them first, and keeps their ratio, so that the machine's
// drift between two separate runs does not enter it. The benchmark reports our side's time
// (it must use manual time); the ratios are summed up under `measure` once every benchmark has
// run (see RunBenchmarks).
void TimePair(benchmark::State& state, const std::string& measure,
              const std::function<void()>& ours, const std::function<void()>& raw);

// Makes the table when missing and runs the registered benchmarks. Runs are interleaved and
// repeated, and only medians (with the other aggregates) are reported, so that a slow moment of
// the machine does not favour either side. Then, for each benchmark that timed pairs, prints
// the median of its pairs' ratios with their quartiles and range, and each side's median time.
// A `check` that fails after the set-up ends the program with status 1 before any run.
int RunBenchmarks(int argc, char** argv, bool (*check)() = nullptr);

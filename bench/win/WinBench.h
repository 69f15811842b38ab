#pragma once

// What the window's benchmarks share: the million-row table, timing and the message loop.

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/DBXMain_win.h"
#include "tests/win/TestSupport.h"

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline std::string TempFile(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// The benchmarks' table, made once in the temporary folder: an integer key, a short text, a
// real, a date-time as text and a 30-character text, in a million rows.
inline std::string BenchTable() {
    std::string path = TempFile("qrydesk-bench-1m.db");
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return path;
    std::string building = path + ".new";
    DeleteFileA(building.c_str());
    sqlite3* db = nullptr;
    sqlite3_open(building.c_str(), &db);
    sqlite3_exec(db,
                 "create table t (id integer primary key, name text, amount real, stamp text, "
                 "note text);"
                 "with recursive c(x) as (select 1 union all select x + 1 from c limit 1000000) "
                 "insert into t select x, 'name ' || x, x * 1.25, "
                 "datetime(1700000000 + x * 60, 'unixepoch'), "
                 "substr(hex(randomblob(15)), 1, 30) from c;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    MoveFileA(building.c_str(), path.c_str());
    return path;
}

inline constexpr char16_t benchSelectAll[] = u"select id, name, amount, stamp, note from t";

// Handles the window's messages until `done`, as the message loop would.
inline void PumpUntil(const std::function<bool()>& done) {
    while (!done()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
}

inline void Click(TMainForm& form, TControl* button) {
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button->Handle()));
}

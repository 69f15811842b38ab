// The window's own work on the million-row SQLite table, once every row is read, measured in the
// real window under Wine (scripts/bench-win) or on Windows:
//   - a whole Copy click at the limit, from the click's handler until the clipboard holds the
//     text (and until the handler has returned, the notice that the text was cut closed);
//   - a paint of the whole grid, with row 1 current and with row 999,000 current;
//   - a page step: Page Down in the grid with the paint that follows it.
// Figures are medians; nothing here is a pass or a fail.

#include <atomic>
#include <cstdio>
#include <thread>

#include "WinBench.h"
#include "app/CopyText.h"
#include "app/Startup_win.h"
#include "base/Text.h"
#include "toolkit/Application_win.h"

namespace {

// The units of text on the clipboard, without the closing NUL; -1 when it holds none.
long ClipboardUnits() {
    if (!OpenClipboard(nullptr))
        return -1;
    long units = -1;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            units = long(wcslen(text));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return units;
}

struct CopyFigures {
    double toClipboard = -1;
    double whole = -1;
    long units = -1;
};

// Watches the clipboard from another thread while the click runs on this one, which also runs
// the notice that the text was cut (closed by the watcher).
CopyFigures CopyClick(TMainForm& form) {
    CopyFigures figures;
    DWORD before = GetClipboardSequenceNumber();
    std::atomic<bool> clicked = false;
    std::atomic<double> toClipboard = -1;
    auto start = Clock::now();
    std::thread watcher([&] {
        while (!clicked && GetClipboardSequenceNumber() == before)
            std::this_thread::yield();
        if (GetClipboardSequenceNumber() != before)
            toClipboard = Ms(Clock::now() - start);
    });
    {
        MessageBoxWatcher notices;
        Click(form, form.bCopy);
    }
    figures.whole = Ms(Clock::now() - start);
    clicked = true;
    watcher.join();
    figures.toClipboard = toClipboard;
    figures.units = ClipboardUnits();
    return figures;
}

double PaintGrid(HWND grid) {
    auto start = Clock::now();
    RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    GdiFlush();
    return Ms(Clock::now() - start);
}

double PageDown(HWND grid) {
    auto start = Clock::now();
    SendMessageW(grid, WM_KEYDOWN, VK_NEXT, 0);
    UpdateWindow(grid);
    GdiFlush();
    return Ms(Clock::now() - start);
}

std::vector<double> Repeated(int times, const std::function<double()>& measure) {
    std::vector<double> values;
    for (int i = 0; i < times; ++i)
        values.push_back(measure());
    return values;
}

} // namespace

int main() {
    InitializeModules();
    Application.Initialize();
    std::string path = BenchTable();
    {
        ScratchDirectory scratch{L"qrydesk-bench-"};
        Window<TMainForm> form;
        ShowWindow(form.Handle(), SW_SHOWNORMAL);
        form.ADOConnection.SetConnectionString(u"Provider=SQLite;Data Source=" + FromUtf8(path));
        form.eSQL->SetText(benchSelectAll);
        Click(form, form.bOpen);
        PumpUntil([&] { return form.ADOQuery.AllFetched(); });
        PumpMessages();
        HWND grid = form.DBGrid1->Handle();
        const GridModel& model = form.DBGrid1->Model();

        std::vector<double> toClipboard, whole;
        long units = 0;
        for (int i = 0; i < 5; ++i) {
            CopyFigures copy = CopyClick(form);
            toClipboard.push_back(copy.toClipboard);
            whole.push_back(copy.whole);
            units = copy.units;
        }
        PumpMessages();

        const int paints = 21;
        form.ADOQuery.First();
        PumpMessages();
        std::size_t firstTop = model.TopRow();
        double atFirst = Median(Repeated(paints, [&] { return PaintGrid(grid); }));
        form.ADOQuery.MoveTo(999000 - 1);
        PumpMessages();
        std::size_t deepTop = model.TopRow();
        double atDeep = Median(Repeated(paints, [&] { return PaintGrid(grid); }));

        form.ADOQuery.First();
        PumpMessages();
        SetFocus(grid);
        double page = Median(Repeated(paints, [&] { return PageDown(grid); }));
        std::size_t pagedTo = model.CurrentRow();

        std::printf("SQLite, 1,000,000 rows x 5 columns, all read; medians (ms)\n");
        std::printf("  Copy click at the limit (%ld of %zu characters on the clipboard): %.1f to "
                    "the clipboard, %.1f to the end of the handler with its notice\n",
                    units, CopyTextLimit, Median(toClipboard), Median(whole));
        std::printf("  paint of the grid, row 1 current (top row %zu): %.2f\n", firstTop + 1,
                    atFirst);
        std::printf("  paint of the grid, row 999,000 current (top row %zu): %.2f\n", deepTop + 1,
                    atDeep);
        std::printf("  page step (Page Down with its paint; %d steps to row %zu): %.2f\n", paints,
                    pagedTo + 1, page);
    }
    Application.Finalize();
    return 0;
}

// How the window stays alive while the database works, measured in the real window under Wine
// on a million-row SQLite file (and on PostgreSQL where QRYDESK_PG_PORT names a server):
//   - the longest a message sent to the window waits for its answer while a result opens and
//     the rest of it is read in the background, while Copy builds its text at the limit, and
//     during the first edit of the result (which reads the rest first);
//   - the time from Esc to the error in lRows for a slow statement;
//   - how long after Open another connection can write the SQLite file, beside how long
//     reading the whole result takes.
// Figures are medians of a few runs; nothing here is a pass or a fail.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <thread>

#include "WinBench.h"
#include "app/Startup_win.h"
#include "base/Text.h"
#include "tests/win/SlowStatement.h"
#include "toolkit/Application_win.h"

namespace {

// Sends the window a message every few milliseconds from another thread and keeps the longest
// wait for an answer: the longest the window went without handling its messages, until
// `until` says to stop counting.
class Prober {
public:
    explicit Prober(
        HWND window, std::function<bool()> until = [] { return false; })
        : window_(window) {
        thread_ = std::thread([this, until] {
            while (on_ && !until()) {
                auto start = Clock::now();
                DWORD_PTR result = 0;
                SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
                double waited = Ms(Clock::now() - start);
                if (waited > worst_)
                    worst_ = waited;
                Sleep(2);
            }
            ended_ = true;
        });
    }
    ~Prober() { Stop(); }
    // The window answers the last message while the prober ends.
    double Stop() {
        on_ = false;
        if (thread_.joinable()) {
            PumpUntil([this] { return bool(ended_); });
            thread_.join();
        }
        return worst_;
    }

private:
    HWND window_;
    std::atomic<bool> on_{true};
    std::atomic<bool> ended_{false};
    std::atomic<double> worst_{0};
    std::thread thread_;
};

struct Figures {
    std::vector<double> openMs, openWorst, readMs, readWorst, copyMs, copyWorst, editMs, editWorst,
        writeAfterOpenMs, escMs;
};

void OpenAndRead(TMainForm& form, Figures& f) {
    Click(form, form.bClose);
    form.eSQL->SetText(benchSelectAll);
    Prober prober(form.Handle());
    auto start = Clock::now();
    Click(form, form.bOpen);
    auto opened = Clock::now();
    PumpUntil([&] { return form.ADOQuery.AllFetched(); });
    auto read = Clock::now();
    double worst = prober.Stop();
    f.openMs.push_back(Ms(opened - start));
    f.readMs.push_back(Ms(read - opened));
    f.readWorst.push_back(worst);
}

// Whether a message box of this process shows.
bool NoticeShows() {
    HWND box = FindWindowW(L"#32770", nullptr);
    DWORD process = 0;
    GetWindowThreadProcessId(box, &process);
    return box && IsWindowVisible(box) && process == GetCurrentProcessId();
}

// Up to the notice that the text was cut: the system's box takes its own time to appear, and
// handles the window's messages once it shows.
void CopyAtTheLimit(TMainForm& form, Figures& f) {
    MessageBoxWatcher watcher;
    Prober prober(form.Handle(), NoticeShows);
    auto start = Clock::now();
    Click(form, form.bCopy);
    f.copyMs.push_back(Ms(Clock::now() - start));
    f.copyWorst.push_back(prober.Stop());
}

void FirstEdit(TMainForm& form, Figures& f) {
    Click(form, form.bClose);
    form.eSQL->SetText(benchSelectAll);
    Click(form, form.bOpen);
    HWND grid = form.DBGrid1->Handle();
    SetFocus(grid);
    Prober prober(form.Handle());
    auto start = Clock::now();
    SendMessageW(grid, WM_KEYDOWN, VK_F2, 0);
    if (HWND editor = form.DBGrid1->EditorHandle())
        SendMessageW(editor, WM_CHAR, L'x', 0);
    f.editMs.push_back(Ms(Clock::now() - start));
    f.editWorst.push_back(prober.Stop());
    form.ADOQuery.Cancel();
    SetFocus(form.eSQL->Handle());
}

void WriteAfterOpen(TMainForm& form, const std::string& path, Figures& f) {
    Click(form, form.bClose);
    form.eSQL->SetText(benchSelectAll);
    std::atomic<bool> opened = false;
    std::atomic<double> wroteAfter = -1;
    Clock::time_point openedAt;
    std::thread writer([&] {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_busy_timeout(db, 120000);
        while (!opened)
            Sleep(1);
        int rc =
            sqlite3_exec(db, "update t set note = note where id = 1", nullptr, nullptr, nullptr);
        wroteAfter = rc == SQLITE_OK ? Ms(Clock::now() - openedAt) : -2;
        sqlite3_close(db);
    });
    Click(form, form.bOpen);
    openedAt = Clock::now();
    opened = true;
    PumpUntil([&] { return form.ADOQuery.AllFetched(); });
    writer.join();
    f.writeAfterOpenMs.push_back(wroteAfter);
}

// Opens a slow statement and presses Esc from another thread once it runs; the time from the
// key to "Error, " in lRows.
double EscToError(TMainForm& form, const std::u16string& sql) {
    Click(form, form.bClose);
    form.eSQL->SetText(sql);
    HWND editor = form.eSQL->Handle();
    HWND rows = form.lRows->Handle();
    std::atomic<double> ms = -1;
    std::atomic<bool> done = false;
    std::thread user([&] {
        struct Done {
            std::atomic<bool>& done;
            ~Done() { done = true; }
        } mark{done};
        Sleep(700);
        auto pressed = Clock::now();
        PostMessageW(editor, WM_KEYDOWN, VK_ESCAPE, 0);
        for (int i = 0; i < 20000; ++i) {
            wchar_t text[64] = {};
            DWORD_PTR result = 0;
            SendMessageTimeoutW(rows, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                1000, &result);
            if (wcsncmp(text, L"Error, ", 7) == 0) {
                ms = Ms(Clock::now() - pressed);
                return;
            }
            Sleep(1);
        }
    });
    Click(form, form.bOpen);
    // The other thread reads lRows through the window, which must answer until it has.
    PumpUntil([&] { return bool(done); });
    user.join();
    return ms;
}

// The child of CloseDuringWork: the slow statement in a window of its own, until it is closed.
int CloseChild() {
    ScratchDirectory scratch{L"qrydesk-bench-close-"};
    Window<TMainForm> form;
    PostSlowOpen(form, scratch);
    Application.Run(form, SW_SHOWNORMAL);
    return 0;
}

// The time from closing a window whose statement runs to the end of its program.
double CloseDuringWork() {
    ChildProcess child(L"--close-child", L"QRYDESK_BENCH_CHILD");
    HWND window = child.WaitForWindow();
    if (!window)
        return -1;
    Sleep(1500);
    auto closed = Clock::now();
    PostMessageW(window, WM_CLOSE, 0, 0);
    child.WaitForExit(60000);
    return Ms(Clock::now() - closed);
}

} // namespace

int main(int argc, char** argv) {
    InitializeModules();
    Application.Initialize();
    if (argc > 1 && std::string(argv[1]) == "--close-child")
        return CloseChild();
    std::string path = BenchTable();
    const int runs = 3;
    Figures f;
    {
        ScratchDirectory scratch{L"qrydesk-bench-"};
        Window<TMainForm> form;
        ShowWindow(form.Handle(), SW_SHOWNORMAL);
        form.ADOConnection.SetConnectionString(u"Provider=SQLite;Data Source=" + FromUtf8(path));
        for (int i = 0; i < runs; ++i) {
            OpenAndRead(form, f);
            CopyAtTheLimit(form, f);
            FirstEdit(form, f);
            WriteAfterOpen(form, path, f);
        }
        std::vector<double> esc, close;
        for (int i = 0; i < runs; ++i) {
            esc.push_back(EscToError(form, kSlowCount));
            close.push_back(CloseDuringWork());
        }
        std::printf("SQLite, 1,000,000 rows x 5 columns; medians of %d runs (ms)\n", runs);
        std::printf("  Open until the first screen: %.1f; longest wait for an answer then and "
                    "while the rest is read: %.1f (reading the rest: %.1f)\n",
                    Median(f.openMs), Median(f.readWorst), Median(f.readMs));
        std::printf("  Copy at the limit: %.1f; longest wait: %.1f\n", Median(f.copyMs),
                    Median(f.copyWorst));
        std::printf("  first edit of a fresh result: %.1f; longest wait: %.1f\n", Median(f.editMs),
                    Median(f.editWorst));
        std::printf("  another connection writes the file %.1f after Open (reading the rest "
                    "takes %.1f)\n",
                    Median(f.writeAfterOpenMs), Median(f.readMs));
        std::printf("  Esc to \"Error, \" in lRows, slow statement: %.1f\n", Median(esc));
        std::printf("  closing the window during a slow statement to the program's end: %.1f\n",
                    Median(close));

        if (const char* port = std::getenv("QRYDESK_PG_PORT")) {
            Click(form, form.bClose);
            if (form.ADOConnection.Connected())
                form.ADOConnection.Close();
            form.ADOConnection.SetConnectionString(
                u"Provider=MSDASQL;Extended Properties='Driver={PostgreSQL Unicode};"
                u"Server=127.0.0.1;Port=" +
                FromUtf8(port) + u";Database=postgres;UID=postgres'");
            std::vector<double> pg;
            for (int i = 0; i < runs; ++i)
                pg.push_back(EscToError(form, u"select pg_sleep(30)"));
            std::printf("  Esc to \"Error, \" in lRows, PostgreSQL pg_sleep(30): %.1f\n",
                        Median(pg));
        }
    }
    Application.Finalize();
    return 0;
}

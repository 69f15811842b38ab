#include <gtest/gtest.h>

#include <winsock2.h>

#include <atomic>
#include <string>
#include <thread>

#include "SlowStatement.h"
#include "TestSupport.h"
#include "app/DBXMain_win.h"
#include "toolkit/Application_win.h"

// A statement that takes long, through the real window on a SQLite file: the window answers
// meanwhile, Esc cancels the statement, which then ends as any failed one does, and the next
// statement runs; closing the window cancels it and ends the program.

namespace {

void Click(HWND form, TControl* button) {
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button->Handle()));
}

class LongWorkTest : public ::testing::Test {
protected:
    LongWorkTest() {
        form_.WithLog = true;
        form_.ADOConnection.SetConnectionString(u"Provider=SQLite;Data Source=" +
                                                scratch_.Path(L"test.db"));
    }

    void Run(TControl* button, const std::u16string& text) {
        form_.eSQL->SetText(text);
        Click(form_.Handle(), button);
    }
    std::string Rows() const { return ToUtf8(form_.lRows->Text()); }

    ScratchDirectory scratch_{L"qrydesk-long-"};
    Window<TMainForm> form_;
};

// Another thread plays the user: it asks the window something while the statement runs, then
// presses Esc in the statement editor.
TEST_F(LongWorkTest, TheWindowAnswersWhileAStatementRunsAndEscCancelsIt) {
    HWND window = form_.Handle();
    HWND editor = form_.eSQL->Handle();
    HWND rows = form_.lRows->Handle();
    std::atomic<bool> answered = false;
    std::wstring shown;
    std::thread user([&] {
        Sleep(1000);
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
        wchar_t text[128] = {};
        SendMessageTimeoutW(rows, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            2000, &result);
        shown = text;
        PostMessageW(editor, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    Run(form_.bOpen, kSlowCount);
    user.join();

    EXPECT_TRUE(answered) << "the window handles messages while the statement runs";
    EXPECT_EQ(ToUtf8(std::u16string(shown.begin(), shown.end())),
              "Working\u2026 press Esc to cancel");
    EXPECT_EQ(Rows(), "Error, interrupted");
    EXPECT_FALSE(form_.ADOQuery.Active());
    std::string log = scratch_.DayLog();
    EXPECT_NE(log.find(": Open Query: Error, interrupted\r\n"), std::string::npos) << log;
    EXPECT_EQ(form_.CurrentMem(), 1) << "the statement is in the history";

    Run(form_.bOpen, u"select 42 as answer");
    EXPECT_EQ(Rows(), "Query Oppened");
    EXPECT_EQ(ToUtf8(form_.ADOQuery.Fields(0).AsString()), "42");
    Run(form_.bExecute, u"create table t (x integer)");
    EXPECT_EQ(Rows(), "0 Rows Affected");
}

// A server that takes the connection and never answers: connecting would wait for the login
// time-out. Esc gives up the wait at once and leaves the window as it was.
TEST_F(LongWorkTest, EscGivesUpConnectingToAServerThatNeverAnswers) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(server, 4), 0);
    int length = sizeof(address);
    getsockname(server, reinterpret_cast<sockaddr*>(&address), &length);
    std::string port = std::to_string(ntohs(address.sin_port));

    form_.cbDBKind->SetItemIndex(1); // SQLServer
    form_.eServer->SetText(u"127.0.0.1," + FromUtf8(port));
    form_.eDatabase->SetText(u"master");
    HWND window = form_.Handle();
    std::atomic<bool> answered = false;
    std::thread user([&] {
        Sleep(1000);
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    MessageBoxWatcher watcher;
    DWORD started = GetTickCount();
    Click(form_.Handle(), form_.bConnect);
    DWORD took = GetTickCount() - started;
    user.join();
    closesocket(server);
    WSACleanup();

    EXPECT_TRUE(answered);
    EXPECT_LT(took, 10000u) << "well before the login time-out";
    EXPECT_TRUE(watcher.boxes.empty()) << "giving up is no error";
    EXPECT_FALSE(form_.ADOConnection.Connected());
    EXPECT_EQ(ToUtf8(form_.lStatus->Text()), "lStatus");
    EXPECT_EQ(scratch_.DayLog(), "") << "nothing is logged";
}

// Run as a child process by the next test: starts the slow statement and runs the window
// until it is closed.
TEST(LongWorkChild, SlowStatementUntilClosed) {
    if (!GetEnvironmentVariableW(L"QRYDESK_LONG_WORK_CHILD", nullptr, 0))
        GTEST_SKIP() << "only as a child process";
    ScratchDirectory scratch{L"qrydesk-close-"};
    Window<TMainForm> form;
    PostSlowOpen(form, scratch);
    form.WithLog = true;
    Application.Run(form, SW_SHOWNORMAL);
    // The window is gone by now; the log tells how the statement ended.
    std::string log = scratch.DayLog();
    EXPECT_NE(log.find(": Open Query: Error, interrupted\r\n"), std::string::npos) << log;
}

TEST(LongWorkClose, ClosingTheWindowDuringAStatementEndsTheProgram) {
    ChildProcess child(L"--gtest_filter=LongWorkChild.SlowStatementUntilClosed",
                       L"QRYDESK_LONG_WORK_CHILD");
    ASSERT_TRUE(child.Started());
    HWND window = child.WaitForWindow();
    ASSERT_NE(window, nullptr) << "the child shows its window";
    Sleep(1500); // the statement is running by now
    PostMessageW(window, WM_CLOSE, 0, 0);
    // Well within this; the benchmark measures how soon.
    EXPECT_EQ(child.WaitForExit(30000), std::optional<DWORD>(0));
}

} // namespace

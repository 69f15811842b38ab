#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "TestSupport.h"
#include "app/ActivityLogText.h"
#include "app/ActivityLog_win.h"
#include "app/DBXMain_win.h"
#include "base/Runtime_win.h"

namespace {

struct LogForm : TMainForm {
    using TMainForm::WriteLog;
};

std::wstring TodaysFile() {
    return reinterpret_cast<const wchar_t*>(LogFileName(WinPlatform().LocalNow()).c_str());
}

std::string ReadFile(const std::wstring& name) {
    std::ifstream in(std::filesystem::path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Each test works in a fresh current directory of its own.
class ActivityLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        GetCurrentDirectoryW(MAX_PATH, previous_);
        directory_ = std::wstring(temp) + L"qrydesk-log-" + std::to_wstring(GetCurrentProcessId()) +
                     L"-" + std::to_wstring(GetTickCount64());
        ASSERT_TRUE(CreateDirectoryW(directory_.c_str(), nullptr));
        SetCurrentDirectoryW(directory_.c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryW(previous_);
        std::wstring file = directory_ + L"\\" + TodaysFile();
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(file.c_str());
        RemoveDirectoryW(file.c_str());
        RemoveDirectoryW(directory_.c_str());
    }

    wchar_t previous_[MAX_PATH];
    std::wstring directory_;
};

TEST_F(ActivityLogTest, EntriesAreAppendedAsHebrewEightBitLinesWithTheUsersFormats) {
    Window<LogForm> form;
    form.WithLog = true;
    form.WriteLog(u"Open Query: select '\u05E9\u05DC\u05D5\u05DD'");
    form.WriteLog(u"");

    std::string content = ReadFile(TodaysFile());
    const Platform& platform = form.Services();
    std::string today =
        ToUtf8(platform.FormatDate(platform.LocalNow(), platform.Formats().ShortDateFormat));
    std::istringstream lines(content);
    std::string first, second;
    std::getline(lines, first, '\n');
    std::getline(lines, second, '\n');
    EXPECT_EQ(first.rfind(today + " ", 0), 0u) << first;
    EXPECT_NE(first.find(": Open Query: select '\xF9\xEC\xE5\xED'\r"), std::string::npos) << first;
    EXPECT_EQ(second.substr(second.size() - 3), ": \r") << "an empty message";
    EXPECT_EQ(content.substr(0, 3) == "\xEF\xBB\xBF", false) << "no byte-order mark";
}

TEST(RegionalSettings, AreReadAgainWhenTheUserChangesThem) {
    Window<LogForm> form;
    auto found = FormatSettings;
    FormatSettings.ShortDateFormat = u"yyyy";
    FormatSettings.LongTimeFormat = u"HH";
    SendMessageW(form.Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(ToUtf8(FormatSettings.ShortDateFormat), ToUtf8(found.ShortDateFormat));
    EXPECT_EQ(ToUtf8(FormatSettings.LongTimeFormat), ToUtf8(found.LongTimeFormat));
    EXPECT_EQ(GetThreadLocale(), 1037u) << "the Hebrew thread locale stays";
}

TEST_F(ActivityLogTest, NothingIsWrittenWhileTheLogIsOff) {
    Window<LogForm> form;
    ASSERT_FALSE(form.WithLog);
    form.WriteLog(u"Close Query");
    EXPECT_EQ(GetFileAttributesW(TodaysFile().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ActivityLogTest, FailuresAreSwallowedAndLoseOnlyTheLine) {
    Window<LogForm> form;
    form.WithLog = true;
    { std::ofstream(std::filesystem::path(TodaysFile()), std::ios::binary) << "earlier\r\n"; }
    // Held open by another program that shares nothing.
    HANDLE held = CreateFileW(TodaysFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    form.WriteLog(u"Connect to s/db, Connected");
    CloseHandle(held);
    EXPECT_EQ(ReadFile(TodaysFile()), "earlier\r\n");
    form.WriteLog(u"next");
    EXPECT_EQ(ReadFile(TodaysFile()).find("earlier\r\n"), 0u) << "earlier content stays first";
    EXPECT_NE(ReadFile(TodaysFile()).find(": next\r\n"), std::string::npos);

    DeleteFileW(TodaysFile().c_str());
    CreateDirectoryW(TodaysFile().c_str(), nullptr); // a directory of that name
    form.WriteLog(u"Close Query");
    EXPECT_NE(GetFileAttributesW(TodaysFile().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// Run as a child process by the next test: appends numbered entries to today's file.
TEST(ActivityLogChild, Append) {
    char name[8] = {};
    if (!GetEnvironmentVariableA("QRYDESK_LOG_WRITER", name, sizeof(name)))
        GTEST_SKIP() << "only as a writer process";
    for (int i = 0; i < 2000; ++i)
        AppendLogEntry(WinPlatform(), FromUtf8(std::string(name) + " " + std::to_string(i)));
}

TEST_F(ActivityLogTest, TwoProcessesAppendingToOneFileLoseNothing) {
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::vector<PROCESS_INFORMATION> writers;
    for (const char* name : {"A", "B"}) {
        SetEnvironmentVariableA("QRYDESK_LOG_WRITER", name);
        std::wstring command =
            L"\"" + std::wstring(program) + L"\" --gtest_filter=ActivityLogChild.Append";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        writers.push_back(process);
    }
    SetEnvironmentVariableA("QRYDESK_LOG_WRITER", nullptr);
    for (auto& process : writers) {
        WaitForSingleObject(process.hProcess, 120000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    std::istringstream lines(ReadFile(TodaysFile()));
    std::map<std::string, int> next{{"A", 0}, {"B", 0}};
    std::string line;
    while (std::getline(lines, line, '\n')) {
        ASSERT_EQ(line.back(), '\r');
        auto colon = line.rfind(": ");
        ASSERT_NE(colon, std::string::npos) << "[" << line << "]";
        std::istringstream entry(line.substr(colon + 2));
        std::string writer;
        int number = -1;
        entry >> writer >> number;
        ASSERT_EQ(number, next[writer]) << "whole and in order per process: " << line;
        ++next[writer];
    }
    EXPECT_EQ(next["A"], 2000);
    EXPECT_EQ(next["B"], 2000);
}

} // namespace

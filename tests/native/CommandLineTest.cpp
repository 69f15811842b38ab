#include <gtest/gtest.h>

#include "app/StartupOptions.h"
#include "base/CommandLine.h"
#include "base/Text.h"

namespace {

struct ArgumentCase {
    const char16_t* commandLine;
    std::size_t index;
    const char16_t* expected;
};

class CommandLineArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(CommandLineArgumentTest, SplitsLikeTheProgramExpects) {
    const auto& c = GetParam();
    EXPECT_EQ(ToUtf8(CommandLineArgument(c.commandLine, c.index)), ToUtf8(c.expected))
        << ToUtf8(c.commandLine);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineArgumentTest,
    ::testing::Values(ArgumentCase{u"Qrydesk.exe", 1, u""},
                      ArgumentCase{u"Qrydesk.exe Log", 0, u"Qrydesk.exe"},
                      ArgumentCase{u"\"C:\\Program Files\\Qrydesk.exe\" Log", 0,
                                   u"C:\\Program Files\\Qrydesk.exe"},
                      ArgumentCase{u"\"C:\\Program Files\\Qrydesk.exe\" Log", 1, u"Log"},
                      ArgumentCase{u"q.exe \t  Log\t second", 2, u"second"},
                      // Tabs and other control characters separate like blanks.
                      ArgumentCase{u"q.exe\x01Log\x1Fx", 1, u"Log"},
                      ArgumentCase{u"q.exe \"a b\"c \"d", 1, u"a bc"},
                      ArgumentCase{u"q.exe \"a b\"c \"d", 2, u"d"},
                      // A backslash before a quote is an ordinary character here.
                      ArgumentCase{u"q.exe a\\\"b c\"", 1, u"a\\b c"},
                      ArgumentCase{u"   q.exe   ", 1, u""}));

struct LogCase {
    const char16_t* commandLine;
    bool logOn;
};

class LogSwitchTest : public ::testing::TestWithParam<LogCase> {};

TEST_P(LogSwitchTest, OnlyAnExactFirstArgumentTurnsTheLogOn) {
    EXPECT_EQ(LogRequested(GetParam().commandLine), GetParam().logOn)
        << ToUtf8(GetParam().commandLine);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogSwitchTest,
    ::testing::Values(LogCase{u"Qrydesk.exe", false}, LogCase{u"Qrydesk.exe Log", true},
                      LogCase{u"Qrydesk.exe Log extra args", true},
                      LogCase{u"Qrydesk.exe \"Log\"", true}, LogCase{u"Qrydesk.exe L\"o\"g", true},
                      LogCase{u"Qrydesk.exe log", false}, LogCase{u"Qrydesk.exe LOG", false},
                      LogCase{u"Qrydesk.exe -Log", false}, LogCase{u"Qrydesk.exe Log.txt", false},
                      LogCase{u"Qrydesk.exe \"Log \"", false},
                      LogCase{u"Qrydesk.exe other Log", false}));

} // namespace

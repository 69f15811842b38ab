#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/Text.h"
#include "toolkit/ErrorText.h"

namespace {

TEST(ErrorText, FullStopIsAddedOnlyAfterCharactersAboveTheFullStop) {
    struct Case {
        const char16_t* message;
        const char16_t* shown;
    } cases[] = {
        {u"", u""},
        {u"Login failed", u"Login failed."},
        {u"Error 42", u"Error 42."},
        {u"Login failed.", u"Login failed."},
        {u"(code 7)", u"(code 7)"},
        {u"Stop!", u"Stop!"},
        {u"trailing ", u"trailing "},
        {u"a-", u"a-"},
        {u"a/", u"a/."},
        {u"\u05E9\u05DC\u05D5\u05DD", u"\u05E9\u05DC\u05D5\u05DD."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(CompleteWithFullStop(c.message)), ToUtf8(c.shown)) << ToUtf8(c.message);
}

TEST(ErrorText, ApplicationTitleComesFromTheProgramFileName) {
    struct Case {
        const char16_t* path;
        const char16_t* title;
    } cases[] = {
        {u"C:\\Tools\\ABC.Tool.exe", u"Abc"},
        {u"C:\\Program Files\\Qrydesk\\Qrydesk.exe", u"Qrydesk"},
        {u"QRYDESK.EXE", u"Qrydesk"},
        {u"Z:\\work\\build\\win64\\tests\\QrydeskWinTests.exe", u"Qrydeskwintests"},
        {u"/home/user/qrydesk.exe", u"qrydesk"},
        {u"D:noext", u"noext"},
        {u"C:\\dir.with.dots\\\u00C9COLE.exe", u"\u00C9cole"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(ApplicationTitle(c.path)), ToUtf8(c.title)) << ToUtf8(c.path);
}

TEST(ErrorText, LastChanceTextNamesTypeModuleAndAddress) {
    EXPECT_EQ(ToUtf8(LastChanceText(u"Exception", u"Qrydesk.exe", 0x1A2B, u"Broken")),
              "Exception Exception in module Qrydesk.exe at 0000000000001A2B.\r\nBroken.\r\n");
    EXPECT_EQ(ToUtf8(LastChanceText(u"std::bad_alloc", u"Qrydesk.exe", 0, u"Out of memory.")),
              "Exception std::bad_alloc in module Qrydesk.exe at 0000000000000000.\r\n"
              "Out of memory.\r\n");
}

TEST(ErrorText, ExceptionKeepsItsMessageAndRaiseSite) {
    try {
        throw Exception(u"Driver said no");
    } catch (const Exception& e) {
        EXPECT_EQ(ToUtf8(e.Message()), "Driver said no");
        EXPECT_NE(e.RaiseAddress(), nullptr);
        EXPECT_EQ(ToUtf8(e.TypeName()), "Exception");
    }
}

} // namespace

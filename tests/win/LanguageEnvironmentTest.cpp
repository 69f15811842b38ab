#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Runtime_win.h"
#include "bidi/BiDiWin_win.h"

namespace {

// Wine reports Windows 10 and no Middle-East support, so the set-up has run at start-up.
TEST(LanguageEnvironment, HebrewSetUpIsInForceAfterStartUp) {
    EXPECT_FALSE(IsBiDiSystem());
    EXPECT_GE(OSMajorVersion, 6);
    EXPECT_EQ(GetOSMajorVersion(), OSMajorVersion);

    EXPECT_EQ(GetThreadLocale(), 1037u);
    EXPECT_EQ(DefaultSystemCodePage, 1255u);
    EXPECT_EQ(SysLocale.DefaultLCID, 1037u);
    EXPECT_EQ(SysLocale.PriLangID, 13u);
    EXPECT_EQ(SysLocale.SubLangID, 0u);
    EXPECT_FALSE(SysLocale.FarEast);
    EXPECT_TRUE(SysLocale.MiddleEast);

    // 8-bit text without a code page of its own is now Windows-1255.
    WinPlatform platform;
    EXPECT_EQ(platform.TextToEightBit(u"Open Query: \u05E9\u05DC\u05D5\u05DD"),
              "Open Query: \xF9\xEC\xE5\xED");
    EXPECT_EQ(platform.TextToEightBit(u"\u0416"), "?") << "a letter the code page lacks";
}

TEST(LanguageEnvironment, SwitchKeyboardLoadsHebrewOnlyForHebrew) {
    KeyboardRecorder recorder;
    SwitchKeyboard(recorder, ltHebrew);
    SwitchKeyboard(recorder, ltEnglish);
    SwitchKeyboard(recorder, static_cast<TLanguage>(7));
    EXPECT_EQ(recorder.layouts(), (std::vector<std::string>{"0000040D", "00000409", "00000409"}));
}

} // namespace

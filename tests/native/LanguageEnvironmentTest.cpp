#include <gtest/gtest.h>

#include "bidi/BiDiWin.h"

namespace {

TEST(LanguageEnvironment, HebrewSetUpRunsWithMiddleEastSupportOrVersionSixAndLater) {
    struct Case {
        bool biDiSystem;
        std::uint16_t major;
        bool wanted;
    } cases[] = {
        {false, 0, false}, // workstation query failed
        {false, 5, false}, {true, 5, true}, {false, 6, true},      {true, 6, true},
        {false, 10, true}, {true, 0, true}, {false, 0xFFFF, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HebrewEnvironmentWanted(c.biDiSystem, c.major), c.wanted)
            << c.biDiSystem << " " << c.major;
}

TEST(LanguageEnvironment, RightToLeftControlsAskForHebrew) {
    EXPECT_EQ(RightToLeftLanguage[false], ltEnglish);
    EXPECT_EQ(RightToLeftLanguage[true], ltHebrew);
    EXPECT_EQ(HebrewLocaleID, 0x040D);
}

} // namespace

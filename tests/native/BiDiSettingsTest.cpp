#include <gtest/gtest.h>

#include "toolkit/BiDiSettings.h"

namespace {

TEST(BiDiSettings, SettingANewModeStopsFollowingTheParent) {
    BiDiSettings s;
    ASSERT_TRUE(s.ParentBiDiMode());
    EXPECT_TRUE(s.SetMode(bdRightToLeft));
    EXPECT_EQ(s.Mode(), bdRightToLeft);
    EXPECT_FALSE(s.ParentBiDiMode());
}

TEST(BiDiSettings, AnUnchangedModeIsIgnoredAndKeepsFollowingTheParent) {
    BiDiSettings s;
    ASSERT_TRUE(s.SetParentBiDiMode(false, bdLeftToRight) == false);
    ASSERT_FALSE(s.SetParentBiDiMode(true, bdRightToLeft) == false); // adopts the parent's mode
    ASSERT_EQ(s.Mode(), bdRightToLeft);
    EXPECT_FALSE(s.SetMode(bdRightToLeft));
    EXPECT_TRUE(s.ParentBiDiMode());
}

TEST(BiDiSettings, FollowingTheParentAgainAdoptsItsMode) {
    BiDiSettings s;
    s.SetMode(bdRightToLeft);
    EXPECT_FALSE(s.SetParentBiDiMode(false, bdLeftToRight)); // already off
    EXPECT_TRUE(s.SetParentBiDiMode(true, bdLeftToRight));
    EXPECT_EQ(s.Mode(), bdLeftToRight);
    EXPECT_TRUE(s.ParentBiDiMode());
}

TEST(BiDiSettings, ExtendedStyleFollowsModeAlignmentAndMiddleEastFlag) {
    using namespace BiDiExStyle;
    struct Case {
        TBiDiMode mode;
        TAlignment alignment;
        bool middleEast;
        std::uint32_t bits;
    } cases[] = {
        {bdLeftToRight, taLeftJustify, true, 0},
        {bdRightToLeft, taLeftJustify, true, RtlReading | Right | LeftScrollBar},
        {bdRightToLeft, taRightJustify, true, RtlReading | LeftScrollBar},
        {bdRightToLeft, taCenter, true, RtlReading | LeftScrollBar},
        {bdRightToLeftNoAlign, taLeftJustify, true, RtlReading | LeftScrollBar},
        {bdRightToLeftReadingOnly, taLeftJustify, true, RtlReading},
        {bdRightToLeft, taLeftJustify, false, 0},
    };
    for (const auto& c : cases) {
        BiDiSettings s;
        s.SetMode(c.mode);
        EXPECT_EQ(s.ExStyleBits(c.alignment, c.middleEast), c.bits)
            << int(c.mode) << " " << int(c.alignment) << " " << c.middleEast;
    }
}

TEST(BiDiSettings, DrawnAlignmentIsMirroredOnlyInFullRightToLeftMode) {
    struct Case {
        TBiDiMode mode;
        bool middleEast;
        TAlignment stored;
        TAlignment drawn;
    } cases[] = {
        {bdRightToLeft, true, taLeftJustify, taRightJustify},
        {bdRightToLeft, true, taRightJustify, taLeftJustify},
        {bdRightToLeft, true, taCenter, taCenter},
        {bdRightToLeftNoAlign, true, taLeftJustify, taLeftJustify},
        {bdRightToLeft, false, taLeftJustify, taLeftJustify},
        {bdLeftToRight, true, taRightJustify, taRightJustify},
    };
    for (const auto& c : cases) {
        BiDiSettings s;
        s.SetMode(c.mode);
        EXPECT_EQ(s.DrawnAlignment(c.stored, c.middleEast), c.drawn)
            << int(c.mode) << " " << c.middleEast << " " << int(c.stored);
    }
}

} // namespace

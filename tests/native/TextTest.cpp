#include <gtest/gtest.h>

#include "base/Text.h"

namespace {

TEST(Text, Utf8RoundTripKeepsEveryPlane) {
    std::u16string text = u"SELECT '\u05E9\u05DC\u05D5\u05DD' -- \u00E9 \U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"\u05D0"), "\xD7\x90");
}

TEST(Text, LowerCaseCoversCasedAlphabetsOnly) {
    EXPECT_EQ(ToLowerChar(u'Q'), u'q');
    EXPECT_EQ(ToLowerChar(u'q'), u'q');
    EXPECT_EQ(ToLowerChar(u'1'), u'1');
    EXPECT_EQ(ToLowerChar(u'\u00C9'), u'\u00E9');
    EXPECT_EQ(ToLowerChar(u'\u00D7'), u'\u00D7'); // multiplication sign has no case
    EXPECT_EQ(ToLowerChar(u'\u0416'), u'\u0436');
    EXPECT_EQ(ToLowerChar(u'\u0401'), u'\u0451');
    EXPECT_EQ(ToLowerChar(u'\u05D0'), u'\u05D0');
}

} // namespace

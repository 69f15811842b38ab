#include <gtest/gtest.h>

#include "app/ActivityLogText.h"
#include "base/Text.h"

namespace {

TEST(ActivityLogText, TwoDigitsPadsOnlySingleCharacters) {
    struct Case {
        std::int32_t number;
        const char* text;
    } cases[] = {{0, "00"}, {7, "07"}, {10, "10"}, {12, "12"}, {2021, "2021"}, {-5, "-5"}};
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(TwoDigits(c.number)), c.text) << c.number;
}

TEST(ActivityLogText, FileNameRunsDayMonthYearTogether) {
    struct Case {
        TDateTime date;
        const char* name;
    } cases[] = {
        {{2021, 12, 9}, "Qrydesk_9122021.txt"}, {{2021, 12, 19}, "Qrydesk_19122021.txt"},
        {{2026, 1, 1}, "Qrydesk_1012026.txt"},  {{2026, 10, 31}, "Qrydesk_31102026.txt"},
        {{987, 3, 4}, "Qrydesk_403987.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(LogFileName(c.date)), c.name);
}

TEST(ActivityLogText, LineKeepsTheMessageAndDropsTheTimeAtMidnight) {
    TDateTime afternoon{2026, 12, 9, 14, 5, 7, 0};
    TDateTime midnight{2026, 12, 9, 0, 0, 0, 0};
    TDateTime justAfter{2026, 12, 9, 0, 0, 0, 1};
    EXPECT_EQ(
        ToUtf8(LogLine(afternoon, u"12/9/2026", u"2:05:07 PM", u"Connect to s/db, Connected")),
        "12/9/2026 2:05:07 PM: Connect to s/db, Connected\r\n");
    EXPECT_EQ(ToUtf8(LogLine(midnight, u"12/9/2026", u"12:00:00 AM", u"Close Query")),
              "12/9/2026: Close Query\r\n");
    EXPECT_EQ(ToUtf8(LogLine(justAfter, u"12/9/2026", u"12:00:00 AM", u"x")),
              "12/9/2026 12:00:00 AM: x\r\n");
    EXPECT_EQ(ToUtf8(LogLine(afternoon, u"d", u"t", u"")), "d t: \r\n");
    EXPECT_EQ(ToUtf8(LogLine(afternoon, u"d", u"t", u"Exec Query: update t\r\nset a = 1")),
              "d t: Exec Query: update t\r\nset a = 1\r\n");
}

// However a password is spelled or quoted in a connection string typed as a server, none of
// it reaches the log, and the rest stays as typed.
TEST(ActivityLogText, PasswordsInAConnectionStringAreMasked) {
    struct Case {
        const char16_t* typed;
        const char16_t* logged;
    } cases[] = {
        {u"Sales", u"Sales"},
        {u"db01,1433", u"db01,1433"},
        {u"Driver={PostgreSQL Unicode};Server=h;PWD=s3cret;UID=u",
         u"Driver={PostgreSQL Unicode};Server=h;PWD=***;UID=u"},
        {u"DSN=a;pwd=x", u"DSN=a;pwd=***"},
        {u"DSN=a; Password = x ;UID=u", u"DSN=a; Password =***;UID=u"},
        {u"PASSWORD=x;NewPassword=y;KeyStorePwd=z;Passwd=w",
         u"PASSWORD=***;NewPassword=***;KeyStorePwd=***;Passwd=***"},
        {u"PWD=;UID=u", u"PWD=***;UID=u"},
        {u"DSN=a;PWD=x;", u"DSN=a;PWD=***;"},
        // Braced values hold ";" and a doubled "}"; one never closed runs to the end.
        {u"DSN=a;PWD={x;UID=y};UID=u", u"DSN=a;PWD=***;UID=u"},
        {u"DSN=a;PWD= {x}};y}} } ;UID=u", u"DSN=a;PWD=***;UID=u"},
        {u"DSN=a;PWD={x;UID=u", u"DSN=a;PWD=***"},
        // FreeTDS runs a braced value on to the first "};"; quotes as OLE DB writes them.
        {u"DSN=a;PWD={x}y;z};UID=u", u"DSN=a;PWD=***;UID=u"},
        {u"DSN=a;PWD={x}};y};UID=u", u"DSN=a;PWD=***;UID=u"},
        {u"DSN=a;Password='x;''y';UID=u", u"DSN=a;Password=***;UID=u"},
        {u"DSN=a;Password=\"x;y;UID=u", u"DSN=a;Password=***"},
        // A key is looked for after every ";", even where a brace hides it from some readers.
        {u"Driver={x;PWD=y};PWD=z", u"Driver={x;PWD=***;PWD=***"},
        {u"Server=a=b;Options=c", u"Server=a=b;Options=c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(PasswordsMasked(c.typed)), ToUtf8(c.logged)) << ToUtf8(c.typed);
}

} // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SqliteQueryFixture.h"
#include "app/CopyText.h"
#include "base/Exception.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "platform/FakePlatform.h"

namespace {

using Rows = std::vector<std::vector<std::u16string>>;

// Rows in memory, with a journal of what the copy did to them.
class FakeRows : public CopyRows {
public:
    explicit FakeRows(Rows rows, std::vector<std::string>* journal = nullptr)
        : rows_(std::move(rows)), journal_(journal) {}

    void SuspendDisplay() override { Note("suspend"); }
    void ResumeDisplay() override { Note("resume"); }
    void First() override { current = 0; }
    bool Eof() override { return current >= rows_.size(); }
    void Next() override {
        if (current + 1 == failingRow)
            throw Exception(u"row failed");
        ++current;
    }
    int FieldCount() override { return int(rows_[current].size()); }
    std::u16string_view FieldText(int index, std::u16string&) override {
        return rows_[current][index];
    }

    std::size_t current = 99;
    std::size_t failingRow = 0; // 0: none

private:
    void Note(const char* what) {
        if (journal_)
            journal_->push_back(what);
    }
    Rows rows_;
    std::vector<std::string>* journal_;
};

// The fake platform's user interface, journalled beside the rows' steps; its clipboard starts
// with "before".
class JournalPlatform : public FakePlatform {
public:
    explicit JournalPlatform(std::vector<std::string>& journal) : journal_(journal) {
        clipboard = u"before";
    }
    void SetBusyCursor(bool isBusy) noexcept override {
        FakePlatform::SetBusyCursor(isBusy);
        journal_.push_back(isBusy ? "busy" : "default");
    }
    void PutOnClipboard(std::u16string_view text) override {
        if (refuseClipboard)
            throw Exception(u"Cannot open clipboard");
        FakePlatform::PutOnClipboard(text);
        journal_.push_back("clipboard");
    }
    void ShowNotice(const std::u16string& text) override {
        FakePlatform::ShowNotice(text);
        journal_.push_back(std::string("notice") + (busy ? " (busy)" : "") + ": " + ToUtf8(text));
    }

    bool refuseClipboard = false;

private:
    std::vector<std::string>& journal_;
};

std::u16string Text(const Rows& rows, bool* cut = nullptr) {
    FakeRows source(rows);
    CopyText text;
    bool wasCut = text.Build(source);
    if (cut)
        *cut = wasCut;
    return std::u16string(text.Text());
}

std::u16string Repeat(char16_t c, std::size_t count) {
    return std::u16string(count, c);
}

TEST(CopyText, FieldsRowsQuotesBlanksAndNuls) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        Rows rows;
        std::u16string expected;
    } cases[] = {
        {"quotes go before the trim, so the blanks they held go too",
         {{u"1", u"O'Neil"}, {u"2", u"\" x \""}},
         u"1\tONeil\r\n2\tx\r\n"},
        {"a value of quotes and blanks only is empty; its TAB stays",
         {{u"a", u" '\" \"' "}, {u" \"\" "}},
         u"a\t\r\n\r\n"},
        {"TAB and line breaks inside a value are kept, not escaped",
         {{u"a\tb", u"c\r\nd"}},
         u"a\tb\tc\r\nd\r\n"},
        {"a value ends at its first NUL; the line goes on", {{u"ab\0cd"s, u"e"}}, u"ab\te\r\n"},
        {"NULs at the ends are trimmed like any control character, before the cut at a NUL",
         {{u"\0x \0y"s}},
         u"x \r\n"},
        {"a quote behind a NUL goes before the trim all the same", {{u"x \0'"s}}, u"x\r\n"},
        {"only characters up to U+0020 are trimmed",
         {{u"\x01\x1F a\u00A0\u3000 \x7F \r\n"}},
         u"a\u00A0\u3000 \x7F\r\n"},
        {"the field count is read for every row", {{u"a", u"b"}, {u"c"}, {}}, u"a\tb\r\nc\r\n\r\n"},
        {"an empty result gives empty text", {}, u""},
    };
    for (const auto& c : cases) {
        bool cut = true;
        EXPECT_EQ(ToUtf8(Text(c.rows, &cut)), ToUtf8(c.expected)) << c.what;
        EXPECT_FALSE(cut) << c.what;
    }
    EXPECT_EQ(ToUtf8(StripQuotes(u"'a\"\tb\r\n\u2019'")), "a\tb\r\n\u2019");
}

// 1000 rows of 4094 characters and CR LF fill the limit exactly.
TEST(CopyText, TextOfExactlyTheLimitCountsAsCutOneLessDoesNot) {
    Rows rows(1000, {Repeat(u'x', 4094)});
    bool cut = false;
    EXPECT_EQ(Text(rows, &cut).size(), CopyTextLimit);
    EXPECT_TRUE(cut) << "the notice is due although nothing is missing";

    rows.back()[0].pop_back();
    EXPECT_EQ(Text(rows, &cut).size(), CopyTextLimit - 1);
    EXPECT_FALSE(cut);
}

TEST(CopyText, LimitInsideARowEndsTheTextThereAndLeavesTheCursorOnThatRow) {
    // 6003 characters a row: the limit falls in the first value of row 682.
    Rows rows(1000, {Repeat(u'a', 3000), Repeat(u'b', 3000)});
    FakeRows source(rows);
    CopyText text;
    EXPECT_TRUE(text.Build(source));
    EXPECT_EQ(source.current, 682u) << "later rows are not visited";
    std::u16string_view result = text.Text();
    ASSERT_EQ(result.size(), CopyTextLimit);
    std::u16string_view lastRow = result.substr(682 * 6003);
    EXPECT_EQ(lastRow, Repeat(u'a', CopyTextLimit - 682 * 6003)) << "no TAB, no CR LF after it";
    EXPECT_EQ(result.substr(681 * 6003 - 2, 2), u"\r\n");
}

TEST(CopyText, LimitBetweenTheHalvesOfASurrogatePairStopsBeforeThePair) {
    const std::u16string pair = u"\U0001F600";
    struct Case {
        std::size_t before;
        std::u16string expectedEnd;
    } cases[] = {
        {CopyTextLimit - 1, u"x"},        // the pair would be split: it is left out
        {CopyTextLimit - 2, u"x" + pair}, // the pair just fits
    };
    for (const auto& c : cases) {
        bool cut = false;
        std::u16string text = Text({{Repeat(u'x', c.before) + pair + u"z", u"next field"}}, &cut);
        EXPECT_TRUE(cut);
        EXPECT_EQ(text.size(), c.before + c.expectedEnd.size() - 1) << "nothing after the cut";
        EXPECT_EQ(ToUtf8(text.substr(text.size() - c.expectedEnd.size())), ToUtf8(c.expectedEnd));
    }
}

TEST(CopyToClipboard, PutsTheTextOnTheClipboardWithTheDisplaySuspendedAndTheHourGlass) {
    std::vector<std::string> journal;
    FakeRows rows({{u"1", u"one"}, {u"2", u"two"}}, &journal);
    JournalPlatform platform(journal);
    CopyToClipboard(rows, platform);
    EXPECT_EQ(ToUtf8(platform.clipboard), "1\tone\r\n2\ttwo\r\n");
    EXPECT_EQ(journal,
              (std::vector<std::string>{"busy", "suspend", "clipboard", "resume", "default"}));

    journal.clear();
    FakeRows empty({}, &journal);
    CopyToClipboard(empty, platform);
    EXPECT_EQ(platform.clipboard, u"") << "an empty result replaces what was there";
    EXPECT_EQ(journal.size(), 5u) << "and shows no notice";
}

TEST(CopyToClipboard, CutTextIsPutOnTheClipboardAndThenTheNoticeShownWhileStillBusy) {
    std::vector<std::string> journal;
    FakeRows rows({{u"1", u"one"}, {u"2", u"two"}}, &journal);
    JournalPlatform platform(journal);
    CopyToClipboard(rows, platform, 8);
    EXPECT_EQ(ToUtf8(platform.clipboard), "1\tone\r\n2");
    EXPECT_EQ(rows.current, 1u);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"busy", "suspend", "clipboard", "resume",
                                        "notice (busy): " + ToUtf8(CopyCutNotice), "default"}));
}

TEST(CopyToClipboard, AnErrorLeavesTheClipboardResumesTheDisplayOnceAndResetsTheCursor) {
    for (bool clipboardRefuses : {false, true}) {
        std::vector<std::string> journal;
        FakeRows rows({{u"1"}, {u"2"}, {u"3"}}, &journal);
        rows.failingRow = clipboardRefuses ? 0 : 2;
        JournalPlatform platform(journal);
        platform.refuseClipboard = clipboardRefuses;
        // The refused clipboard gets cut text, which still shows no notice.
        EXPECT_THROW(CopyToClipboard(rows, platform, clipboardRefuses ? 4 : CopyTextLimit),
                     Exception);
        EXPECT_EQ(ToUtf8(platform.clipboard), "before");
        EXPECT_EQ(journal, (std::vector<std::string>{"busy", "suspend", "resume", "default"}));
    }
}

// The copy through a real query on a SQLite file.
class QueryCopyTest : public SqliteQueryFixture {
protected:
    void Run(const std::u16string& sql, bool open) {
        query.SetSQL({sql});
        if (open)
            query.Open();
        else
            query.ExecSQL();
    }
    std::string Copy(std::size_t limit = CopyTextLimit) {
        QueryCopyRows rows(query);
        CopyText text(limit);
        text.Build(rows);
        return ToUtf8(text.Text());
    }
};

TEST_F(QueryCopyTest, FollowsTheFieldOrderAndTheValuesTextAndEndsOnTheLastRow) {
    Run(u"create table t (id integer primary key, name text, amount real, born date, "
        u"price decimal(10, 2), data blob, flag boolean)",
        false);
    Run(u"insert into t values (1, 'O''Neil', 2.5, '2024-03-01', 12.5, x'41', 1), "
        u"(2, null, -1e20, '2024-03-02 13:45:00', '0.10', x'414243', 0), "
        u"(3, 'third', 0.1, null, null, null, null)",
        false);
    Run(u"select * from t order by id", true);
    query.MoveField(1, 0);
    query.Next();

    std::string text = Copy();
    EXPECT_EQ(text.substr(0, text.find('\t')), "ONeil") << "the moved field comes first";
    std::string expected;
    for (query.First(); !query.Eof(); query.Next()) {
        for (int i = 0; i < query.FieldCount(); ++i) {
            expected += i ? "\t" : "";
            expected += ToUtf8(StripQuotes(query.Fields(i).AsString()));
        }
        expected += "\r\n";
    }
    EXPECT_EQ(text, expected);
    EXPECT_EQ(query.RecNo(), 2u);
}

TEST_F(QueryCopyTest, StopsReadingRowsAtTheLimitAndFailsOnAClosedQuery) {
    Run(u"create table t as with recursive c(x) as (select 1 union all select x + 1 from c "
        u"limit 20000) select x from c",
        false);
    Run(u"select x from t order by x", true);
    EXPECT_EQ(Copy(100).substr(0, 9), "1\r\n2\r\n3\r\n");
    EXPECT_LT(query.FetchedCount(), 40u);
    EXPECT_FALSE(query.AllFetched());

    query.Close();
    std::vector<std::string> journal;
    JournalPlatform platform(journal);
    QueryCopyRows rows(query);
    try {
        CopyToClipboard(rows, platform);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(ToUtf8(e.Message()),
                  "ADOQuery: Cannot perform this operation on a closed dataset");
    }
    EXPECT_FALSE(query.ControlsDisabled());
    EXPECT_EQ(ToUtf8(platform.clipboard), "before");
    EXPECT_EQ(journal.back(), "default");
}

} // namespace

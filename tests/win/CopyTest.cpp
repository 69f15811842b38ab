#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/CopyText.h"
#include "app/DBXMain_win.h"
#include "toolkit/Application_win.h"

namespace {

// The Copy button through the real window and the real clipboard, on a SQLite file.
class CopyTest : public ::testing::Test {
protected:
    CopyTest() {
        form_.ADOConnection.SetConnectionString(u"Provider=SQLite;Data Source=" +
                                                scratch_.Path(L"copy.db"));
        SetClipboard(u"before");
    }

    void ClickCopy() {
        SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(form_.bCopy->Handle()));
        PumpMessages();
    }

    void SetClipboard(const std::u16string& text) {
        ASSERT_TRUE(OpenClipboard(form_.Handle()));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
        std::copy(text.c_str(), text.c_str() + text.size() + 1,
                  static_cast<char16_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        EXPECT_TRUE(SetClipboardData(CF_UNICODETEXT, memory));
        CloseClipboard();
    }
    static std::u16string Clipboard() {
        if (!OpenClipboard(nullptr))
            return u"(clipboard not open)";
        std::u16string text = u"(no text)";
        if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const char16_t*>(GlobalLock(memory));
            GlobalUnlock(memory);
        }
        CloseClipboard();
        return text;
    }
    static bool DefaultCursor() { return GetCursor() == LoadCursorW(nullptr, IDC_ARROW); }

    ScratchDirectory scratch_{L"qrydesk-copy-"};
    Window<TMainForm> form_;
};

TEST_F(CopyTest, CopyPutsTheWholeResultOnTheClipboardAndLeavesTheQueryOnTheLastRow) {
    Execute(form_.ADOQuery, u"create table t (id integer primary key, name text, note text)");
    Execute(form_.ADOQuery, u"insert into t values (1, 'O''Neil', ' \"x\" '), (2, 'שלום', null), "
                            u"(3, 'a\tb', 'c' || char(13, 10) || 'd')");
    Open(form_.ADOQuery, u"select name, id, note from t order by id");
    form_.ADOQuery.MoveField(1, 0);
    form_.ADOQuery.MoveTo(1);

    MessageBoxWatcher watcher;
    ClickCopy();
    EXPECT_TRUE(watcher.boxes.empty());
    EXPECT_EQ(ToUtf8(Clipboard()), "1\tONeil\tx\r\n2\tשלום\t\r\n3\ta\tb\tc\r\nd\r\n");
    EXPECT_EQ(form_.ADOQuery.RecNo(), 2u);
    EXPECT_FALSE(form_.ADOQuery.ControlsDisabled());
    EXPECT_TRUE(DefaultCursor());
}

TEST_F(CopyTest, CopyWithNothingOpenReportsTheClosedResultAndLeavesTheClipboard) {
    MessageBoxWatcher watcher;
    ClickCopy();
    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].text,
              "ADOQuery: Cannot perform this operation on a closed dataset.");
    EXPECT_EQ(watcher.boxes[0].caption, ToUtf8(Application.Title()));
    EXPECT_EQ(ToUtf8(Clipboard()), "before");
    EXPECT_FALSE(form_.ADOQuery.ControlsDisabled());
    EXPECT_TRUE(DefaultCursor());
}

TEST_F(CopyTest, TextReachingTheLimitIsCutAndTheNoticeSaysSo) {
    // What Copy reads itself, without the reading ahead that would bring in every row anyway.
    form_.ADOConnection.SetReadAhead(0, {});
    // Rows of a little over 5000 characters: the limit falls inside row 818 or so.
    Open(form_.ADOQuery,
         u"with recursive c(x) as (select 1 union all select x + 1 from c limit 2000) "
         u"select x, hex(zeroblob(2500)) from c");

    MessageBoxWatcher watcher;
    ClickCopy();
    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].text, ToUtf8(CopyCutNotice));
    EXPECT_EQ(watcher.boxes[0].caption, ToUtf8(Application.Title()));
    EXPECT_FALSE(watcher.boxes[0].stopIcon);

    std::u16string text = Clipboard();
    ASSERT_EQ(text.size(), CopyTextLimit);
    std::size_t lastLine = text.rfind(u"\r\n") + 2;
    std::size_t row = form_.ADOQuery.RecNo();
    EXPECT_EQ(ToUtf8(text.substr(lastLine, text.find(u'\t', lastLine) - lastLine)),
              std::to_string(row + 1))
        << "the query stays on the row that was cut";
    EXPECT_LT(form_.ADOQuery.FetchedCount(), 900u) << "later rows are not read";
}

} // namespace

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "TestSupport.h"
#include "app/DBXMain_win.h"
#include "base/Runtime_win.h"

namespace {

// The system locale's primary language for as long as it lives; the grid reads it when made.
class PrimaryLanguage {
public:
    explicit PrimaryLanguage(std::uint32_t language) { SysLocale.PriLangID = language; }
    ~PrimaryLanguage() { SysLocale = saved_; }

private:
    TSysLocale saved_ = SysLocale;
};

// Editing in the real window's grid with keys, on a SQLite file; a second connection reads
// what the table holds.
class GridEditTest : public ::testing::Test {
protected:
    explicit GridEditTest(std::uint32_t language = SysLocale.PriLangID) : language_(language) {
        path_ = u"Provider=SQLite;Data Source=" + scratch_.Path(L"edit.db");
        form_.ADOConnection.SetConnectionString(path_);
        Execute(form_.ADOQuery,
                u"create table t (id integer primary key, name varchar(10), price decimal(8,2))");
        Execute(form_.ADOQuery,
                u"insert into t values (1, 'one', 1.5), (2, 'two', 2.5), (3, 'three', 3.5)");
        ShowWindow(form_.Handle(), SW_SHOWNORMAL);
        SetForegroundWindow(form_.Handle());
        Open(form_.ADOQuery, u"select id, name, price from t order by id");
        SetFocus(Grid());
    }
    ~GridEditTest() override { SetCtrl(false); }

    std::string Table() {
        return TableText(form_.Services(), path_, u"select id, name, price from t order by id");
    }
    HWND Grid() const { return form_.DBGrid1->Handle(); }
    HWND Editor() const { return form_.DBGrid1->EditorHandle(); }
    bool EditorShown() const { return Editor() && IsWindowVisible(Editor()); }
    const GridModel& Model() const { return form_.DBGrid1->Model(); }
    // Keys and characters go where the user's would: to the focused window, the grid or its
    // editor.
    void Key(WPARAM key) {
        SendMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PumpMessages();
    }
    void Type(const std::u16string& text) {
        for (char16_t c : text)
            SendMessageW(GetFocus(), WM_CHAR, WPARAM(c), 1);
        PumpMessages();
    }
    // A key posted as the keyboard would, and the messages run as the program's loop runs them,
    // through the dialog navigation.
    void KeyThroughLoop(WPARAM key) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(form_.Handle(), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    static void SetCtrl(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    void Click(HWND button) {
        SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        PumpMessages();
    }

    PrimaryLanguage language_;
    ScratchDirectory scratch_{L"qrydesk-edit-"};
    std::u16string path_;
    Window<TMainForm> form_;
};

class KoreanGridEditTest : public GridEditTest {
protected:
    KoreanGridEditTest() : GridEditTest(LANG_KOREAN) {}
};

TEST_F(GridEditTest, TypedTextIsWrittenWhenTheRowIsLeft) {
    Key(VK_RIGHT);
    Type(u"uno");
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(GetFocus(), Editor());
    EXPECT_EQ(ToUtf8(WindowText(Editor())), "uno") << "the first character replaced the text";
    EXPECT_EQ(Model().RowState(), GridRowState::Editing);
    EXPECT_EQ(Table(), "1|one|1.5/2|two|2.5/3|three|3.5");
    Key(VK_DOWN);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(GetFocus(), Grid());
    EXPECT_EQ(Table(), "1|uno|1.5/2|two|2.5/3|three|3.5");

    // The editor keeps to its field's kind: letters never reach a number, and a text column
    // takes no more than its size.
    Key(VK_RIGHT);
    Type(u"7x.5");
    EXPECT_EQ(ToUtf8(WindowText(Editor())), "7.5");
    Key(VK_LEFT); // the caret is inside the text: it moves there
    Key(VK_HOME);
    Key(VK_LEFT); // at the start: to the previous cell
    Type(u"abcdefghijklmnop");
    EXPECT_EQ(ToUtf8(WindowText(Editor())), "abcdefghij");
    Key(VK_RETURN);
    Key(VK_UP);
    EXPECT_EQ(Table(), "1|uno|1.5/2|abcdefghij|7.5/3|three|3.5");
}

// Enter, Esc and Tab belong to the grid, not to the window's dialog navigation.
TEST_F(GridEditTest, EditingKeysReachTheGridThroughTheMessageLoop) {
    KeyThroughLoop(VK_RETURN);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(GetFocus(), Editor());
    KeyThroughLoop(VK_ESCAPE);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(GetFocus(), Grid());
    KeyThroughLoop(VK_TAB);
    EXPECT_EQ(Model().CurrentColumn(), 1);
    KeyThroughLoop(VK_F2);
    KeyThroughLoop(VK_TAB);
    EXPECT_EQ(Model().CurrentColumn(), 2) << "Tab leaves the editor for the next cell";
}

// A right-to-left grid edits in right-to-left reading order, as its other text controls do.
TEST_F(GridEditTest, AHebrewGridEditsRightToLeft) {
    PrimaryLanguage hebrew(13); // restores the whole description afterwards
    SysLocale.MiddleEast = true;
    form_.DBGrid1->SetBiDiMode(bdRightToLeft);
    Key(VK_LEFT); // reads as Right: the name column
    Type(u"\u05E9\u05DC\u05D5\u05DD");
    ASSERT_TRUE(EditorShown());
    EXPECT_TRUE(GetWindowLongPtrW(Editor(), GWL_EXSTYLE) & WS_EX_RTLREADING);
    Key(VK_DOWN);
    EXPECT_EQ(Table(), "1|\u05E9\u05DC\u05D5\u05DD|1.5/2|two|2.5/3|three|3.5");
    form_.DBGrid1->SetBiDiMode(bdLeftToRight);
}

TEST_F(GridEditTest, EscRestoresTheCellThenTheRow) {
    Key(VK_RIGHT);
    Type(u"x");
    Key(VK_RIGHT);
    Type(u"9");
    Key(VK_ESCAPE);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(ToUtf8(Model().Text(0, 2)), "1.5");
    EXPECT_EQ(ToUtf8(Model().Text(0, 1)), "x");
    Key(VK_ESCAPE);
    EXPECT_EQ(Model().RowState(), GridRowState::Browsing);
    EXPECT_EQ(ToUtf8(Model().Text(0, 1)), "one");
    Key(VK_DOWN);
    EXPECT_EQ(Table(), "1|one|1.5/2|two|2.5/3|three|3.5");
}

TEST_F(GridEditTest, CtrlDeleteAsksAndCancelKeepsTheRow) {
    Key(VK_DOWN);
    {
        MessageBoxWatcher cancel(IDCANCEL);
        SetCtrl(true);
        Key(VK_DELETE);
        SetCtrl(false);
        ASSERT_EQ(cancel.boxes.size(), 1u);
        EXPECT_EQ(cancel.boxes[0].text, "Delete record?");
    }
    EXPECT_EQ(Table(), "1|one|1.5/2|two|2.5/3|three|3.5");
    {
        MessageBoxWatcher ok(IDOK);
        SetCtrl(true);
        Key(VK_DELETE);
        SetCtrl(false);
        EXPECT_EQ(ok.boxes.size(), 1u);
    }
    EXPECT_EQ(Table(), "1|one|1.5/3|three|3.5");
    EXPECT_EQ(ToUtf8(Model().Text(Model().CurrentRow(), 1)), "three");
}

TEST_F(GridEditTest, CopyWritesAPendingEditFirstCloseDropsOne) {
    Key(VK_RIGHT);
    Type(u"copied");
    Click(form_.bCopy->Handle()); // the focus stays in the editor, as with the keyboard
    EXPECT_EQ(Table(), "1|copied|1.5/2|two|2.5/3|three|3.5");

    Open(form_.ADOQuery, u"select id, name, price from t order by id");
    SetFocus(Grid());
    Key(VK_RIGHT);
    Type(u"lost");
    Click(form_.bClose->Handle());
    EXPECT_EQ(Table(), "1|copied|1.5/2|two|2.5/3|three|3.5");
}

TEST_F(GridEditTest, RefusedTextGoesToTheErrorReportAndStaysInTheEditor) {
    Key(VK_END);
    MessageBoxWatcher watcher;
    Type(u"1e");
    Key(VK_DOWN);
    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].text, "'1e' is not a valid floating point value for field 'price'");
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(ToUtf8(WindowText(Editor())), "1e");
    EXPECT_EQ(Model().CurrentRow(), 0u);
}

} // namespace

namespace {

// On a Korean system the editor stands open from cell to cell, so that an input method can
// compose in place.
TEST_F(KoreanGridEditTest, TheEditorStaysOpen) {
    Key(VK_RIGHT);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(ToUtf8(WindowText(Editor())), "one");
    Key(VK_RETURN);
    EXPECT_TRUE(EditorShown());
    Key(VK_DOWN);
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(ToUtf8(WindowText(Editor())), "two");
    Type(u"zwei");
    Key(VK_ESCAPE);
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(ToUtf8(WindowText(Editor())), "two");
}

} // namespace

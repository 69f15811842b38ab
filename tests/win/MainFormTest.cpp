#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "app/DBXMain_win.h"
#include "toolkit/Application_win.h"
#include "toolkit/Gdi_win.h"

namespace {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Window<TMainForm>>();
        ShowWindow(form->Handle(), SW_SHOWNORMAL);
        SetForegroundWindow(form->Handle());
    }
    void TearDown() override { form.reset(); }

    // Labels size themselves to their text (an empty one to a blank). The design sizes are
    // those of Windows' own Tahoma; Wine's Tahoma measures a pixel or three differently.
    SIZE TextSize(std::u16string text) const {
        if (text.empty())
            text.push_back(u' ');
        ScopedGetDC dc(nullptr);
        ScopedSelect font(dc, form->Font());
        RECT extent{};
        DrawTextW(dc, W(text), static_cast<int>(text.size()), &extent,
                  DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
        return {extent.right, extent.bottom};
    }

    std::unique_ptr<Window<TMainForm>> form;
};

struct Expected {
    const char* name;
    TControl* control;
    RECT bounds; // left, top, width, height at 96 dpi
    const char* text;
    int tabOrder;
};

TEST_F(MainFormTest, WindowHasTheDesignedFrameFontAndClientArea) {
    HWND window = form->Handle();
    EXPECT_EQ(ToUtf8(WindowText(window)), "Qrydesk");
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 774);
    EXPECT_EQ(client.bottom, 515);

    auto style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the border is fixed";

    LOGFONTW font;
    ASSERT_TRUE(GetObjectW(form->Font(), sizeof(font), &font));
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
    EXPECT_EQ(font.lfHeight, -11);
    for (auto control : form->Controls()) {
        if (dynamic_cast<TCustomEdit*>(control) || dynamic_cast<TButton*>(control) ||
            dynamic_cast<TCustomComboBox*>(control)) {
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control->Handle(), WM_GETFONT, 0, 0)),
                      form->Font());
        }
    }
}

TEST_F(MainFormTest, EveryControlHasItsPlaceCaptionAndTabOrder) {
    const Expected table[] = {
        {"BiDiLabel1", form->BiDiLabel1, {16, 11, 62, 13}, "Server Name", -1},
        {"BiDiLabel2", form->BiDiLabel2, {16, 38, 46, 13}, "Database", -1},
        {"BiDiLabel3", form->BiDiLabel3, {16, 65, 33, 13}, "DBKind", -1},
        {"BiDiLabel4", form->BiDiLabel4, {16, 91, 48, 13}, "Username", -1},
        {"BiDiLabel5", form->BiDiLabel5, {16, 118, 46, 13}, "Password", -1},
        {"lStatus", form->lStatus, {120, 147, 33, 13}, "lStatus", -1},
        {"lRows", form->lRows, {360, 158, 3, 13}, "", -1},
        {"bPrev", form->bPrev, {631, 8, 23, 22}, "", -1},
        {"bNext", form->bNext, {631, 75, 23, 22}, "", -1},
        {"lCurrent", form->lCurrent, {631, 38, 6, 13}, "1", -1},
        {"eServer", form->eServer, {96, 8, 121, 21}, "", 0},
        {"eDatabase", form->eDatabase, {96, 35, 121, 21}, "", 1},
        {"cbDBKind", form->cbDBKind, {96, 62, 121, 21}, "", 2},
        {"bConnect", form->bConnect, {8, 142, 75, 25}, "Connect", 5},
        {"eUser", form->eUser, {96, 88, 121, 21}, "", 3},
        {"ePwd", form->ePwd, {96, 115, 121, 21}, "", 4},
        {"eSQL", form->eSQL, {256, 8, 369, 89}, "", 6},
        {"bOpen", form->bOpen, {256, 113, 75, 25}, "Open", 7},
        {"bExecute", form->bExecute, {256, 153, 75, 25}, "Execute", 8},
        {"bClose", form->bClose, {360, 113, 75, 25}, "Close", 9},
        {"DBGrid1", form->DBGrid1, {16, 192, 737, 305}, "", 10},
        {"bCopy", form->bCopy, {678, 153, 75, 25}, "Copy", 11},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        RECT rect = RectInParent(row.control->Handle());
        EXPECT_EQ(rect.left, row.bounds.left);
        EXPECT_EQ(rect.top, row.bounds.top);
        SIZE size{row.bounds.right, row.bounds.bottom};
        if (dynamic_cast<TCustomLabel*>(row.control))
            size = TextSize(row.control->Text());
        EXPECT_EQ(rect.right - rect.left, size.cx);
        // A closed combo box is as high as the system makes it for the font: 21 with
        // Windows' Tahoma, 20 with Wine's.
        if (row.control == form->cbDBKind)
            EXPECT_NEAR(rect.bottom - rect.top, size.cy, 1);
        else
            EXPECT_EQ(rect.bottom - rect.top, size.cy);
        EXPECT_EQ(ToUtf8(row.control->Text()), row.text);
        EXPECT_EQ(row.control->TabOrder(), row.tabOrder);
    }

    // The dialog manager's Tab walk visits the controls in tab order and comes round again.
    std::vector<HWND> expectedWalk;
    for (int order = 0; order <= 11; ++order)
        for (const auto& row : table)
            if (row.tabOrder == order)
                expectedWalk.push_back(row.control->Handle());
    HWND at = expectedWalk.front();
    for (std::size_t i = 1; i <= expectedWalk.size(); ++i) {
        at = GetNextDlgTabItem(form->Handle(), at, FALSE);
        EXPECT_EQ(at, expectedWalk[i % expectedWalk.size()]) << "step " << i;
    }
}

TEST_F(MainFormTest, ControlsHaveTheirSettings) {
    EXPECT_EQ(SendMessageW(form->ePwd->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');

    EXPECT_EQ(form->cbDBKind->ItemCount(), 4);
    EXPECT_EQ(ToUtf8(form->cbDBKind->Item(0)), "Oracle");
    EXPECT_EQ(ToUtf8(form->cbDBKind->Item(1)), "SQLServer");
    EXPECT_EQ(ToUtf8(form->cbDBKind->Item(2)), "SQLite");
    EXPECT_EQ(ToUtf8(form->cbDBKind->Item(3)), "ODBC");
    EXPECT_EQ(form->cbDBKind->ItemIndex(), -1);
    EXPECT_EQ(GetWindowLongPtrW(form->cbDBKind->Handle(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);

    auto memoStyle = GetWindowLongPtrW(form->eSQL->Handle(), GWL_STYLE);
    EXPECT_TRUE(memoStyle & ES_MULTILINE);
    EXPECT_TRUE(memoStyle & ES_WANTRETURN);
    EXPECT_FALSE(memoStyle & (ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL)) << "word wrap, no bars";

    // The tool buttons and labels are never in the tab walk.
    for (TControl* c : {static_cast<TControl*>(form->bPrev), static_cast<TControl*>(form->bNext),
                        static_cast<TControl*>(form->lCurrent)})
        EXPECT_FALSE(c->TabStop());
}

TEST_F(MainFormTest, MemoWrapsLongLinesIntoDisplayedRows) {
    form->eSQL->SetText(u"select first_column, second_column, third_column, fourth_column "
                        u"from a_table_with_a_long_name\r\nwhere 1 = 1\r\n");
    auto lines = form->eSQL->Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(ToUtf8(lines.back()), "where 1 = 1") << "an empty last row is not a line";
    std::u16string joined;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        joined += lines[i];
    EXPECT_EQ(ToUtf8(joined), "select first_column, second_column, third_column, fourth_column "
                              "from a_table_with_a_long_name");
    form->eSQL->SetText(u"");
    EXPECT_TRUE(form->eSQL->Lines().empty());
}

TEST_F(MainFormTest, StartsWithTheDocumentedState) {
    EXPECT_EQ(form->CurrentMem(), 0);
    EXPECT_EQ(ToUtf8(form->lCurrent->Text()), "1");
    for (int slot = 1; slot <= 10; ++slot)
        EXPECT_TRUE(form->Memory.Slot(slot).empty());
    EXPECT_FALSE(form->WithLog) << "the test runner's arguments are not \"Log\"";

    form->FocusFirstControl();
    EXPECT_EQ(GetFocus(), form->eServer->Handle());

    // Every right-to-left control starts left-to-right, not following the window.
    for (auto control : form->Controls()) {
        if (control == form->bPrev || control == form->bNext || control == form->lCurrent ||
            control == form->DBGrid1)
            continue;
        EXPECT_EQ(control->BiDiMode(), bdLeftToRight);
        EXPECT_FALSE(control->ParentBiDiMode());
        EXPECT_EQ(GetWindowLongPtrW(control->Handle(), GWL_EXSTYLE) &
                      (WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR),
                  0);
    }
}

TEST_F(MainFormTest, LogArgumentIsReadFromTheCommandLine) {
    std::u16string saved = Application.CommandLine();
    Application.SetCommandLine(u"\"C:\\Program Files\\Qrydesk\\Qrydesk.exe\" Log second");
    Window<TMainForm> logging;
    Application.SetCommandLine(u"Qrydesk.exe log");
    Window<TMainForm> lowerCase;
    Application.SetCommandLine(saved);
    EXPECT_TRUE(logging.WithLog);
    EXPECT_FALSE(lowerCase.WithLog);
}

TEST_F(MainFormTest, MaximisingKeepsEveryControlInPlace) {
    std::vector<RECT> before;
    for (auto control : form->Controls())
        before.push_back(RectInParent(control->Handle()));
    ShowWindow(form->Handle(), SW_MAXIMIZE);
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_GT(client.right, 774);
    for (std::size_t i = 0; i < before.size(); ++i) {
        RECT after = RectInParent(form->Controls()[i]->Handle());
        EXPECT_TRUE(EqualRect(&after, &before[i])) << i;
    }
}

TEST_F(MainFormTest, TabLeavesTheStatementEditorAndEnterStaysInIt) {
    SetFocus(form->eSQL->Handle());
    MSG enter{form->eSQL->Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    IsDialogMessageW(form->Handle(), &enter);
    EXPECT_EQ(GetFocus(), form->eSQL->Handle());

    MSG tab{form->eSQL->Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(form->Handle(), &tab));
    EXPECT_EQ(GetFocus(), form->bOpen->Handle());
}

TEST_F(MainFormTest, ToolButtonsClickWithoutTakingTheFocus) {
    int clicks = 0;
    form->bPrev->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, form->bPrev);
        ++clicks;
    };
    SetFocus(form->eSQL->Handle());
    SendMessageW(form->bPrev->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(form->bPrev->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetFocus(), form->eSQL->Handle());

    // Released outside the button: no click.
    SendMessageW(form->bPrev->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(form->bPrev->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 5));
    SendMessageW(form->bPrev->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    EXPECT_EQ(clicks, 1);
}

} // namespace

namespace {

TEST_F(MainFormTest, AnotherDensityScalesWindowControlsAndFontByOneFactor) {
    RECT suggested{100, 100, 100 + 1200, 100 + 820};
    SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form->Dpi(), 144);
    RECT sql = RectInParent(form->eSQL->Handle());
    EXPECT_EQ(sql.left, 384);
    EXPECT_EQ(sql.top, 12);
    EXPECT_EQ(sql.right - sql.left, 554);
    EXPECT_EQ(sql.bottom - sql.top, 134);
    RECT grid = RectInParent(form->DBGrid1->Handle());
    EXPECT_EQ(grid.left, 24);
    EXPECT_EQ(grid.top, 288);
    LOGFONTW font;
    ASSERT_TRUE(GetObjectW(form->Font(), sizeof(font), &font));
    EXPECT_EQ(font.lfHeight, -17);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(form->eSQL->Handle(), WM_GETFONT, 0, 0)),
              form->Font());
}

TEST(MainFormLifetime, ClosingTheWindowEndsTheMessageLoop) {
    Window<TMainForm> form;
    HWND window = form.Handle();
    PostMessageW(window, WM_CLOSE, 0, 0);
    Application.Run(form, SW_SHOWNORMAL);
    EXPECT_FALSE(IsWindow(window));
    Application.SetMainForm(nullptr);
}

} // namespace

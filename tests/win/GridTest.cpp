#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "TestSupport.h"
#include "app/DBXMain_win.h"
#include "toolkit/Gdi_win.h"

namespace {

// The grid of the real window on a SQLite result opened through the window's query.
class GridTest : public ::testing::Test {
protected:
    GridTest() {
        form_.ADOConnection.SetConnectionString(u"Provider=SQLite;Data Source=" +
                                                scratch_.Path(L"grid.db"));
        Execute(form_.ADOQuery,
                u"create table t (id integer primary key, name varchar(20), price decimal(8,2), "
                u"note text)");
        Execute(form_.ADOQuery,
                u"with recursive c(x) as (select 1 union all select x + 1 from c limit 200) "
                u"insert into t select x, 'name ' || x, x * 1.25, null from c");
        Execute(form_.ADOQuery, u"update t set name = 'שלום', note = 'עברית' where id = 2");
        ShowWindow(form_.Handle(), SW_SHOWNORMAL);
        UpdateWindow(form_.Handle());
    }
    ~GridTest() override { SetKeys(false, false); }

    HWND Grid() const { return form_.DBGrid1->Handle(); }
    const GridModel& Model() const { return form_.DBGrid1->Model(); }
    std::string Titles() const {
        std::string titles;
        for (int i = 0; i < Model().ColumnCount(); ++i)
            titles += ToUtf8(Model().Column(i).title) + "|";
        return titles.substr(0, titles.empty() ? 0 : titles.size() - 1);
    }
    std::string Fields() { return FieldNames(form_.ADOQuery); }
    std::size_t Row() const { return form_.ADOQuery.RecNo(); }

    void Key(WPARAM key) { SendMessageW(Grid(), WM_KEYDOWN, key, 1); }
    static void SetKeys(bool ctrl, bool shift) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    void Wheel(int notches) {
        SendMessageW(Grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, -notches * WHEEL_DELTA), 0);
    }
    void Mouse(UINT message, int x, int y) {
        SendMessageW(Grid(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Drag(int fromX, int toX) {
        Mouse(WM_LBUTTONDOWN, fromX, 5);
        Mouse(WM_MOUSEMOVE, (fromX + toX) / 2, 5);
        Mouse(WM_MOUSEMOVE, toX, 5);
        Mouse(WM_LBUTTONUP, toX, 5);
    }
    SCROLLINFO VerticalBar() const {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        GetScrollInfo(Grid(), SB_VERT, &info);
        return info;
    }
    bool HasVerticalBar() const { return (GetWindowLongPtrW(Grid(), GWL_STYLE) & WS_VSCROLL) != 0; }
    // Whether the indicator cell of a screen line shows ink at its centre (the marker).
    bool MarkerOnLine(int line) {
        RedrawWindow(Grid(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ScopedGetDC dc(Grid());
        int x = Model().IndicatorWidth() / 2 - 1;
        int y = Model().LineTop(line) + Model().LineHeight() / 2;
        return GetPixel(dc, x, y) == GetSysColor(COLOR_WINDOWTEXT);
    }

    ScratchDirectory scratch_{L"qrydesk-grid-"};
    Window<TMainForm> form_;
};

TEST_F(GridTest, ColumnsAndTitlesFollowTheQueryAndTheClosedGridHasOneEmptyColumn) {
    EXPECT_FALSE(Model().Active());
    EXPECT_EQ(Model().ColumnCount(), 1);
    EXPECT_EQ(Titles(), "");
    EXPECT_EQ(Model().LinesOnScreen(), 1);
    EXPECT_FALSE(HasVerticalBar());

    Open(form_.ADOQuery, u"select id, name, price, note, 1 as ID from t order by id");
    ASSERT_TRUE(Model().Active());
    EXPECT_EQ(Titles(), "id|name|price|note|ID_1");
    EXPECT_EQ(Row(), 0u);
    EXPECT_TRUE(Model().Column(0).rightAligned);
    EXPECT_FALSE(Model().Column(1).rightAligned);
    EXPECT_TRUE(Model().Column(2).rightAligned);

    // Widths and line heights come from the window's font, Tahoma 8.
    SIZE zero, wg, title;
    {
        ScopedGetDC dc(Grid());
        ScopedSelect font(dc, form_.Font());
        GetTextExtentPoint32W(dc, L"0", 1, &zero);
        GetTextExtentPoint32W(dc, L"Wg", 2, &wg);
        GetTextExtentPoint32W(dc, L"ID_1", 4, &title);
    }
    EXPECT_EQ(Model().Column(1).width, 20 * zero.cx + 4) << "varchar(20)";
    EXPECT_EQ(Model().Column(2).width, 9 * zero.cx + 4) << "decimal(8,2)";
    EXPECT_EQ(Model().Column(4).width, std::max(15 * zero.cx, title.cx) + 4) << "variant";
    EXPECT_EQ(Model().LineHeight(), wg.cy + 4);
    EXPECT_EQ(Model().TitleHeight(), wg.cy + 4);
    EXPECT_EQ(Model().IndicatorWidth(), 11);
    EXPECT_EQ(ToUtf8(Model().Text(1, 1)), "שלום");
    EXPECT_EQ(ToUtf8(Model().Text(1, 2)), "2.5");
    EXPECT_TRUE(HasVerticalBar());
    EXPECT_TRUE(MarkerOnLine(0));
    EXPECT_FALSE(MarkerOnLine(1));

    Open(form_.ADOQuery, u"select name from t where id = 1");
    EXPECT_EQ(Titles(), "name");
    EXPECT_FALSE(HasVerticalBar()) << "hidden under two rows";

    SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form_.bClose->Handle()));
    EXPECT_FALSE(form_.ADOQuery.Active());
    EXPECT_EQ(Model().ColumnCount(), 1);
    EXPECT_EQ(Titles(), "");
    EXPECT_EQ(Model().Column(0).width, 64);
    EXPECT_FALSE(MarkerOnLine(0));
}

TEST_F(GridTest, CurrentRowFollowsKeysWheelAndScrollBar) {
    Open(form_.ADOQuery, u"select * from t order by id");
    SetFocus(Grid());
    EXPECT_EQ(SendMessageW(Grid(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
    const std::size_t page = std::size_t(Model().VisibleRows());
    ASSERT_GT(page, 5u);

    Key(VK_DOWN), Key(VK_DOWN);
    EXPECT_EQ(Row(), 2u);
    EXPECT_FALSE(MarkerOnLine(0));
    EXPECT_TRUE(MarkerOnLine(2));
    Key(VK_NEXT);
    EXPECT_EQ(Row(), 2 + page);
    EXPECT_EQ(Model().TopRow(), page) << "the row keeps its place on screen";
    Key(VK_UP);
    EXPECT_EQ(Row(), 1 + page);
    Key(VK_RIGHT), Key(VK_TAB);
    EXPECT_EQ(Model().CurrentColumn(), 2);
    Key(VK_END);
    EXPECT_EQ(Model().CurrentColumn(), 3);
    Key(VK_TAB);
    EXPECT_EQ(Model().CurrentColumn(), 0);
    EXPECT_EQ(Row(), 2 + page) << "Tab past the last column goes on to the next row";
    SetKeys(false, true);
    Key(VK_TAB);
    EXPECT_EQ(Row(), 1 + page) << "Shift+Tab before the first column";
    EXPECT_EQ(Model().CurrentColumn(), 3);

    SetKeys(true, false);
    Key(VK_END);
    EXPECT_EQ(Row(), 199u) << "Ctrl+End";
    Key(VK_HOME);
    EXPECT_EQ(Row(), 0u) << "Ctrl+Home";
    SetKeys(false, false);

    Wheel(3);
    EXPECT_EQ(Row(), 3u);
    Wheel(-1);
    EXPECT_EQ(Row(), 2u);
    SendMessageW(Grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, -60), 0);
    EXPECT_EQ(Row(), 2u) << "half a notch";
    SendMessageW(Grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, -60), 0);
    EXPECT_EQ(Row(), 3u) << "the other half";

    int y = Model().LineTop(5) + 3;
    Mouse(WM_LBUTTONDOWN, Model().ColumnLeft(1) + 5, y);
    Mouse(WM_LBUTTONUP, Model().ColumnLeft(1) + 5, y);
    EXPECT_EQ(Row(), 5u) << "a click on a cell";
    EXPECT_EQ(Model().CurrentColumn(), 1);

    EXPECT_EQ(VerticalBar().nPos, 6) << "the bar shows the current row";
    SendMessageW(Grid(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Row(), page) << "the row below the screen";
    SendMessageW(Grid(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Row(), 199u);
    EXPECT_EQ(VerticalBar().nMax, 200);
    EXPECT_EQ(VerticalBar().nPos, 200);
    SendMessageW(Grid(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(Row(), 0u);
}

TEST_F(GridTest, DraggingTitlesMovesFieldsAndResizesColumns) {
    Open(form_.ADOQuery, u"select * from t order by id");
    auto middle = [&](int column) {
        return Model().ColumnLeft(column) + Model().Column(column).width / 2;
    };
    Drag(middle(2), middle(0));
    EXPECT_EQ(Titles(), "price|id|name|note");
    EXPECT_EQ(Fields(), "price|id|name|note") << "the query's field order follows";
    form_.ADOQuery.First();
    EXPECT_EQ(ToUtf8(form_.ADOQuery.Fields(0).AsString()), "1.25");

    Drag(middle(1), middle(1) + 1);
    EXPECT_EQ(Fields(), "price|id|name|note") << "a click on a title moves nothing";

    int width = Model().Column(1).width;
    int edge = Model().ColumnLeft(1) + width;
    Drag(edge, edge + 30);
    EXPECT_EQ(Model().Column(1).width, width + 30);
    EXPECT_EQ(Fields(), "price|id|name|note");
}

TEST_F(GridTest, SuspendedDisplayCatchesUpOnTheLastResume) {
    Open(form_.ADOQuery, u"select * from t order by id");
    form_.ADOQuery.DisableControls();
    form_.ADOQuery.MoveTo(150);
    EXPECT_EQ(Model().CurrentRow(), 0u);
    EXPECT_TRUE(MarkerOnLine(0)) << "painting keeps to what it showed";
    form_.ADOQuery.EnableControls();
    EXPECT_EQ(Model().CurrentRow(), 150u);
    EXPECT_EQ(VerticalBar().nPos, 151);
}

} // namespace

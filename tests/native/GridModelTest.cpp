#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SqliteQueryFixture.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "data/DataSource.h"
#include "grid/GridModel.h"
#include "grid/QueryRowSource.h"
#include "platform/FakePlatform.h"

namespace {

using T = TFieldType;

TEST(GridLayout, DisplayWidthByFieldKind) {
    struct Case {
        TFieldType type;
        int size;
        int precision;
        int expected;
    } cases[] = {
        {T::String, 30, 0, 30},    {T::WideString, 4000, 0, 4000},
        {T::WideString, 0, 0, 20}, {T::Largeint, 0, 0, 15},
        {T::Boolean, 0, 0, 5},     {T::DateTime, 0, 0, 18},
        {T::Date, 0, 0, 10},       {T::Time, 0, 0, 10},
        {T::Decimal, 0, 8, 9},     {T::Decimal, 0, 0, 10},
        {T::Guid, 0, 0, 38},       {T::Variant, 0, 0, 15},
        {T::Integer, 0, 0, 10},    {T::Smallint, 0, 0, 10},
        {T::Float, 0, 0, 10},      {T::WideMemo, 0, 0, 10},
        {T::Blob, 0, 0, 10},       {T::Bytes, 16, 0, 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DisplayWidth(c.type, c.size, c.precision), c.expected)
            << "kind " << int(c.type) << " size " << c.size << " precision " << c.precision;
}

TEST(GridLayout, ColumnWidthFromDigitWidthOverhangAndTitle) {
    EXPECT_EQ(ColumnWidth(10, 6, 0, 20), 64);
    EXPECT_EQ(ColumnWidth(10, 7, 1, 0), 65) << "each character loses the overhang once";
    EXPECT_EQ(ColumnWidth(5, 6, 0, 80), 84) << "a wider title wins, with 4 pixels to spare";
    EXPECT_EQ(ColumnWidth(4000, 6, 0, 30), 24004) << "a 4000-character column is that wide";
    EXPECT_EQ(ColumnWidth(1 << 30, 6, 0, 0), 100000) << "an unbounded size is capped";

    EXPECT_EQ(DataLineHeight(13), 17) << "\"Wg\" + 3 + the row line";
    EXPECT_EQ(TitleLineHeight(13), 17);
    EXPECT_EQ(DataLineHeight(19), 23);
}

TEST(GridLayout, CellTextShowsKindMarkersForLongColumns) {
    FakePlatform platform; // "M/d/yyyy", "h:mm:ss tt"
    ValueFormats formats(platform);
    std::u16string longText(5000, u'x');
    struct Case {
        TFieldType type;
        CellValue value;
        std::u16string expected;
    } cases[] = {
        {T::Memo, CellValue::OfText(u"notes"), u"(MEMO)"},
        {T::Memo, CellValue::Null(), u"(Memo)"},
        {T::WideMemo, CellValue::OfText(u"הערה"), u"(WIDEMEMO)"},
        {T::WideMemo, CellValue::Null(), u"(WideMemo)"},
        {T::Blob, CellValue::OfBytes("\x01\x02"), u"(BLOB)"},
        {T::Blob, CellValue::Null(), u"(Blob)"},
        {T::DateTime, CellValue::OfDateTime({2024, 3, 1, 0, 0, 0, 0}), u"3/1/2024"},
        {T::DateTime, CellValue::OfDateTime({2024, 3, 1, 14, 5, 9, 0}), u"3/1/2024 2:05:09 PM"},
        {T::WideString, CellValue::OfText(longText), longText},
        {T::Integer, CellValue::OfInteger(-42), u"-42"},
        {T::WideString, CellValue::Null(), u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(CellText(c.type, c.value, formats)), ToUtf8(c.expected)) << int(c.type);
}

TEST(GridLayout, IndicatorMarkerByRowState) {
    EXPECT_EQ(MarkerFor(GridRowState::Browsing), GridMarker::Triangle);
    EXPECT_EQ(MarkerFor(GridRowState::Editing), GridMarker::IBeam);
    EXPECT_EQ(MarkerFor(GridRowState::Inserting), GridMarker::Star);
}

// Four columns, the second read-only; ten whole lines on screen, rows 15 to 24 showing.
struct NavigationCase {
    GridKey key;
    GridShift shift;
    GridPlace from;
    bool handled;
    RowTarget::Kind kind;
    std::size_t row;
    int column;
    const char* what;
    bool keepOffset = false;
    int columns = 4;
    bool rightToLeft = false;
    bool allReadOnly = false;
};

TEST(GridNavigation, KeysMoveTheCurrentCell) {
    using R = RowTarget;
    const GridShift none, ctrl{false, true, false}, shift{true, false, false},
        alt{false, false, true};
    const GridPlace mid{20, 2, 15}, first{0, 0, 0};
    const NavigationCase cases[] = {
        {GridKey::Up, none, mid, true, R::To, 19, 2, "Up"},
        {GridKey::Up, none, first, true, R::Stay, 0, 0, "Up on the first row"},
        {GridKey::Up, ctrl, mid, true, R::To, 15, 2, "Ctrl+Up: first visible row"},
        {GridKey::Down, none, mid, true, R::To, 21, 2, "Down"},
        {GridKey::Down, ctrl, mid, true, R::To, 24, 2, "Ctrl+Down: last visible row"},
        {GridKey::PageUp, none, mid, true, R::To, 10, 2, "Page Up", true},
        {GridKey::PageUp, none, {3, 1, 0}, true, R::To, 0, 1, "Page Up near the top", true},
        {GridKey::PageUp, ctrl, mid, true, R::To, 15, 2, "Ctrl+Page Up"},
        {GridKey::PageDown, none, mid, true, R::To, 30, 2, "Page Down", true},
        {GridKey::PageDown, ctrl, mid, true, R::To, 24, 2, "Ctrl+Page Down"},
        {GridKey::Home, none, mid, true, R::Stay, 0, 0, "Home"},
        {GridKey::End, none, mid, true, R::Stay, 0, 3, "End"},
        {GridKey::Home, none, {20, 0, 15}, true, R::To, 0, 0, "Home, one column", false, 1},
        {GridKey::End, none, {20, 0, 15}, true, R::Last, 0, 0, "End, one column", false, 1},
        {GridKey::Home, ctrl, mid, true, R::To, 0, 2, "Ctrl+Home"},
        {GridKey::End, ctrl, mid, true, R::Last, 0, 2, "Ctrl+End"},
        {GridKey::Left, none, mid, true, R::Stay, 0, 1, "Left"},
        {GridKey::Left, none, first, true, R::Stay, 0, 0, "Left in the first column"},
        {GridKey::Right, none, mid, true, R::Stay, 0, 3, "Right"},
        {GridKey::Right, none, {20, 3, 15}, true, R::Stay, 0, 3, "Right in the last column"},
        {GridKey::Left, ctrl, mid, true, R::Stay, 0, 0, "Ctrl+Left"},
        {GridKey::Right, ctrl, {20, 1, 15}, true, R::Stay, 0, 3, "Ctrl+Right"},
        {GridKey::Left, none, mid, true, R::Stay, 0, 3, "Left, right to left", false, 4, true},
        {GridKey::Right, none, mid, true, R::Stay, 0, 1, "Right, right to left", false, 4, true},
        {GridKey::Tab, none, first, true, R::Stay, 0, 2, "Tab skips the read-only column"},
        {GridKey::Tab, none, mid, true, R::Stay, 0, 3, "Tab"},
        {GridKey::Tab, none, {20, 3, 15}, true, R::To, 21, 0, "Tab past the last column"},
        {GridKey::Tab, shift, mid, true, R::Stay, 0, 0, "Shift+Tab skips the read-only column"},
        {GridKey::Tab, shift, {20, 0, 15}, true, R::To, 19, 3, "Shift+Tab before the first"},
        {GridKey::Tab, shift, first, true, R::Stay, 0, 3, "Shift+Tab on the first row"},
        {GridKey::Tab, alt, mid, false, R::Stay, 0, 2, "Alt+Tab is not the grid's"},
        {GridKey::Tab,
         none,
         {20, 1, 15},
         true,
         R::Stay,
         0,
         2,
         "Tab, all read-only",
         false,
         4,
         false,
         true},
        {GridKey::Other, none, mid, false, R::Stay, 0, 2, "another key"},
    };
    for (const auto& c : cases) {
        GridShape shape;
        shape.columnCount = c.columns;
        shape.visibleRows = 10;
        shape.rightToLeft = c.rightToLeft;
        if (c.columns == 4)
            shape.tabStops = {!c.allReadOnly, false, !c.allReadOnly, !c.allReadOnly};
        GridMove move = NavigationFor(c.key, c.shift, c.from, shape);
        EXPECT_EQ(move.handled, c.handled) << c.what;
        if (!c.handled)
            continue;
        EXPECT_EQ(move.row.kind, c.kind) << c.what;
        if (c.kind == R::To) {
            EXPECT_EQ(move.row.row, c.row) << c.what;
        }
        EXPECT_EQ(move.column, c.column) << c.what;
        EXPECT_EQ(move.keepScreenOffset, c.keepOffset) << c.what;
    }
}

TEST(GridScrollBar, ShowsTheCurrentRowAmongTheRowsKnown) {
    ScrollBarState known = VerticalBarFor(4, 5, true, 10);
    EXPECT_TRUE(known.visible);
    EXPECT_EQ(known.min, 1);
    EXPECT_EQ(known.max, 5);
    EXPECT_EQ(known.position, 5);

    ScrollBarState unknown = VerticalBarFor(11, 12, false, 10);
    EXPECT_TRUE(unknown.visible);
    EXPECT_EQ(unknown.max, 24) << "twice the rows read while the count is unknown";
    EXPECT_EQ(unknown.position, 12);
    EXPECT_EQ(VerticalBarFor(0, 3, false, 10).max, 13) << "at least a screen more";

    EXPECT_FALSE(VerticalBarFor(0, 1, true, 10).visible) << "one row";
    EXPECT_FALSE(VerticalBarFor(0, 0, true, 10).visible) << "no rows";
    EXPECT_EQ(VerticalBarFor(2999999999u, 3000000000u, true, 10).max, 2147483647)
        << "kept in the bar's range";
}

TEST(GridScrollBar, ActionsMoveTheCurrentRow) {
    using R = RowTarget;
    GridShape shape;
    shape.columnCount = 2;
    shape.visibleRows = 10;
    const GridPlace mid{20, 1, 15};
    const ScrollBarState bar{true, 1, 50, 21};
    struct Case {
        GridScroll action;
        int thumb;
        GridPlace from;
        bool allFetched;
        bool handled;
        RowTarget::Kind kind;
        std::size_t row;
        const char* what;
    } cases[] = {
        {GridScroll::LineUp, 0, mid, true, true, R::To, 14, "up arrow: the row above the screen"},
        {GridScroll::LineUp, 0, {3, 1, 0}, true, true, R::To, 0, "up arrow at the top"},
        {GridScroll::LineDown, 0, mid, true, true, R::To, 25, "down arrow: the row below"},
        {GridScroll::PageUp, 0, mid, true, true, R::To, 10, "track above the thumb"},
        {GridScroll::PageDown, 0, mid, true, true, R::To, 30, "track below the thumb"},
        {GridScroll::Top, 0, mid, true, true, R::To, 0, "top end"},
        {GridScroll::Bottom, 0, mid, false, true, R::Last, 0, "bottom end"},
        {GridScroll::ThumbPosition, 33, mid, true, true, R::To, 32, "thumb let go at row 33"},
        {GridScroll::ThumbPosition, 1, mid, true, true, R::To, 0, "thumb at 1"},
        {GridScroll::ThumbPosition, -4, mid, true, true, R::To, 0, "thumb below 1"},
        {GridScroll::ThumbPosition, 50, mid, true, true, R::Last, 0, "thumb at the row count"},
        {GridScroll::ThumbPosition, 50, mid, false, true, R::To, 49,
         "thumb at the end while the count is unknown reads no further than that row"},
        {GridScroll::ThumbTrack, 40, mid, true, false, R::Stay, 0, "dragging moves nothing"},
    };
    for (const auto& c : cases) {
        GridMove move = VerticalScrollFor(c.action, c.thumb, c.from, shape, bar, c.allFetched);
        EXPECT_EQ(move.handled, c.handled) << c.what;
        if (!c.handled)
            continue;
        EXPECT_EQ(move.row.kind, c.kind) << c.what;
        if (c.kind == R::To) {
            EXPECT_EQ(move.row.row, c.row) << c.what;
        }
        EXPECT_EQ(move.column, 1) << c.what;
    }
}

// A model on a real SQLite result, with ten whole lines on screen and fonts measured as a
// digit 6 pixels wide, lines 13 high and titles 5 pixels per character.
class GridModelTest : public SqliteQueryFixture {
protected:
    GridModelTest() {
        source.SetDataSet(&query);
        link.SetDataSource(&source);
        Execute(u"create table t (id integer primary key, name varchar(30), amount decimal(8,2), "
                u"note text, stamp datetime)");
        Execute(u"with recursive c(x) as (select 1 union all select x + 1 from c limit 1000) "
                u"insert into t select x, 'name ' || x, x * 1.5, null, "
                u"'2024-03-01 00:00:00' from c");
        model.SetMetrics(Metrics(6));
        model.SetRowSource(&rows);
        model.SetClientSize(600, 18 + 10 * 18 + 9); // ten whole lines and part of one
    }

    static GridMetrics Metrics(int zeroWidth) {
        GridMetrics metrics;
        metrics.zeroWidth = zeroWidth;
        metrics.titleTextWidth = [](std::u16string_view title) { return int(title.size()) * 5; };
        return metrics;
    }
    std::string Titles() const {
        std::string titles;
        for (int i = 0; i < model.ColumnCount(); ++i) {
            if (i)
                titles += "|";
            titles += ToUtf8(model.Column(i).title);
        }
        return titles;
    }
    std::string Fields() const { return FieldNames(query); }
    void Key(GridKey key, GridShift shift = {}) { model.KeyDown(key, shift); }
    void ExpectAt(std::size_t row, std::size_t top, const char* what) {
        EXPECT_EQ(model.CurrentRow(), row) << what;
        EXPECT_EQ(query.RecNo(), row) << what;
        EXPECT_EQ(model.TopRow(), top) << what;
    }

    TDataSource source;
    QueryRowSource rows{&query};
    GridModel model;
    TDataLink link{[this](TDataEvent event) { model.RowsChanged(RowEventFor(event)); }};
};

TEST_F(GridModelTest, ClosedGridHasOneEmptyColumnAndLineAndIgnoresInput) {
    EXPECT_FALSE(model.Active());
    EXPECT_EQ(model.ColumnCount(), 1);
    EXPECT_EQ(Titles(), "");
    EXPECT_EQ(model.Column(0).width, 64);
    EXPECT_EQ(model.LinesOnScreen(), 1);
    EXPECT_EQ(model.Marker(0), GridMarker::None);
    EXPECT_FALSE(model.KeyDown(GridKey::Down, {}));
    EXPECT_FALSE(model.Click(30, 30));
    EXPECT_FALSE(model.Wheel(1));
    EXPECT_FALSE(model.VerticalBar().visible);
}

TEST_F(GridModelTest, OpeningBuildsColumnsAndShowsTheFirstRowsClosingEmpties) {
    Open(u"select * from t");
    ASSERT_TRUE(model.Active());
    EXPECT_EQ(Titles(), "id|name|amount|note|stamp");
    std::vector<int> widths, right;
    for (int i = 0; i < model.ColumnCount(); ++i) {
        widths.push_back(model.Column(i).width);
        right.push_back(model.Column(i).rightAligned);
    }
    EXPECT_EQ(widths, (std::vector<int>{64, 184, 58, 124, 112}))
        << "integer 10, varchar(30), decimal(8,2) 9 digits, unsized text 20, date-time 18";
    EXPECT_EQ(right, (std::vector<int>{1, 0, 1, 0, 0}));
    EXPECT_EQ(model.CurrentRow(), 0u);
    EXPECT_EQ(model.Marker(0), GridMarker::Triangle);
    EXPECT_EQ(model.Marker(1), GridMarker::None);
    EXPECT_EQ(model.LinesOnScreen(), 11);
    EXPECT_EQ(ToUtf8(model.Text(1, 1)), "name 2");
    EXPECT_EQ(ToUtf8(model.Text(1, 2)), "3");
    EXPECT_EQ(ToUtf8(model.Text(0, 3)), "");
    EXPECT_EQ(ToUtf8(model.Text(0, 4)), "3/1/2024");
    EXPECT_FALSE(query.AllFetched());
    EXPECT_LE(query.FetchedCount(), 12u) << "no more rows read than the screen shows";

    Open(u"select 1 as \"\", 2 as id, 3 as ID, 'x' as \"a rather long title\"");
    EXPECT_EQ(Titles(), "COLUMN1|id|ID_1|a rather long title");
    EXPECT_EQ(model.Column(3).width, 19 * 5 + 4) << "the title is wider than 15 digits";
    EXPECT_FALSE(model.VerticalBar().visible) << "one row";

    Open(u"select * from t where id < 0");
    EXPECT_EQ(model.ColumnCount(), 5);
    EXPECT_EQ(model.LinesOnScreen(), 0) << "titles and no data lines";
    EXPECT_EQ(model.Marker(0), GridMarker::None);
    EXPECT_TRUE(model.KeyDown(GridKey::Right, {}));
    EXPECT_EQ(model.CurrentColumn(), 1);

    query.Close();
    EXPECT_EQ(model.ColumnCount(), 1);
    EXPECT_EQ(Titles(), "");
    EXPECT_EQ(model.LinesOnScreen(), 1);
}

TEST_F(GridModelTest, KeysWheelAndClicksMoveTheQuery) {
    Open(u"select distinct id + 0 as id, name, amount, note, stamp from t"); // read-only
    const GridShift ctrl{false, true, false};
    Key(GridKey::Down), Key(GridKey::Down), Key(GridKey::Down);
    ExpectAt(3, 0, "three times Down");
    Key(GridKey::PageDown);
    ExpectAt(13, 10, "a page down keeps the row's place on screen");
    Key(GridKey::Down, ctrl);
    ExpectAt(19, 10, "Ctrl+Down");
    Key(GridKey::PageUp);
    ExpectAt(9, 0, "a page up");
    Key(GridKey::End, ctrl);
    ExpectAt(999, 990, "Ctrl+End reads to the end");
    EXPECT_TRUE(query.AllFetched());
    Key(GridKey::Down);
    ExpectAt(999, 990, "Down on the last row, where rows cannot be added");
    Key(GridKey::PageUp);
    ExpectAt(989, 980, "a page up from the end");
    Key(GridKey::PageDown);
    ExpectAt(999, 990, "a page down to the end fills the last screen");
    Key(GridKey::Home, ctrl);
    ExpectAt(0, 0, "Ctrl+Home");

    model.Wheel(3);
    ExpectAt(3, 0, "three notches down");
    model.Wheel(12);
    ExpectAt(15, 6, "the current row stays on screen");
    model.Wheel(-20);
    ExpectAt(0, 0, "up past the first row");

    const int lineTop = model.LineTop(4) + 2;
    EXPECT_TRUE(model.Click(model.ColumnLeft(2) + 3, lineTop));
    ExpectAt(4, 0, "a click on a cell");
    EXPECT_EQ(model.CurrentColumn(), 2);
    EXPECT_TRUE(model.Click(3, model.LineTop(6) + 2)) << "the indicator column";
    ExpectAt(6, 0, "a click in the indicator column");
    EXPECT_EQ(model.CurrentColumn(), 2);
    EXPECT_FALSE(model.Click(model.ColumnLeft(1) + 3, 5)) << "a title click changes nothing";
    ExpectAt(6, 0, "after a title click");

    EXPECT_EQ(model.HitTest(model.ColumnLeft(1) + model.Column(1).width + 1, 5).kind,
              GridHitKind::ColumnEdge);
    EXPECT_EQ(model.HitTest(model.ColumnLeft(1) + 10, 5).kind, GridHitKind::Title);

    query.MoveTo(500);
    ExpectAt(500, 491, "the grid follows a move made elsewhere");
}

TEST_F(GridModelTest, ScrollBarNeverReadsTheWholeResult) {
    Open(u"with recursive c(x) as (select 1 union all select x + 1 from c limit 1000000) "
         u"select x from c");
    ScrollBarState bar = model.VerticalBar();
    EXPECT_TRUE(bar.visible);
    EXPECT_EQ(bar.position, 1);
    EXPECT_EQ(std::size_t(bar.max), query.FetchedCount() * 2);
    for (int drop = 0; drop < 3; ++drop) {
        bar = model.VerticalBar();
        EXPECT_TRUE(model.VerticalScroll(GridScroll::ThumbPosition, bar.max));
        EXPECT_EQ(model.CurrentRow(), std::size_t(bar.max) - 1);
        ScrollBarState after = model.VerticalBar();
        EXPECT_LE(after.position * 2, after.max) << "the thumb goes back to the upper half";
        EXPECT_GT(after.position * 3, after.max) << "but not near the top";
    }
    EXPECT_FALSE(query.AllFetched());
    EXPECT_LT(query.FetchedCount(), 200u);
    model.VerticalScroll(GridScroll::Top, 0);
    for (int i = 0; i < 100; ++i)
        model.VerticalScroll(GridScroll::PageDown, 0);
    EXPECT_LT(query.FetchedCount(), 1100u) << "paging reads a screen at a time";
    EXPECT_GT(model.VerticalBar().max, model.VerticalBar().position) << "more rows may follow";

    model.VerticalScroll(GridScroll::Bottom, 0);
    EXPECT_EQ(model.CurrentRow(), 999999u) << "the bottom end asks for the last row";
    bar = model.VerticalBar();
    EXPECT_EQ(bar.max, 1000000);
    EXPECT_EQ(bar.position, 1000000);
    model.VerticalScroll(GridScroll::LineUp, 0);
    EXPECT_EQ(model.CurrentRow(), 999989u) << "the row above the screen";
}

TEST_F(GridModelTest, MovingAColumnMovesTheQuerysFieldAndKeepsTheCurrentField) {
    Open(u"select * from t");
    model.KeyDown(GridKey::Right, {});
    model.ResizeColumn(4, 150);
    model.MoveColumn(4, 0);
    EXPECT_EQ(Titles(), "stamp|id|name|amount|note");
    EXPECT_EQ(Fields(), "stamp|id|name|amount|note");
    EXPECT_EQ(model.Column(0).width, 150);
    EXPECT_EQ(model.CurrentColumn(), 2) << "name stays current";
    EXPECT_EQ(ToUtf8(model.Text(0, 2)), "name 1");
    EXPECT_EQ(ToUtf8(query.Fields(2).AsString()), "name 1");

    model.MoveColumn(1, 3);
    EXPECT_EQ(Fields(), "stamp|name|amount|id|note");
    EXPECT_EQ(model.CurrentColumn(), 1);
    EXPECT_EQ(model.DropIndex(model.ColumnLeft(3) + 5), 3);
    EXPECT_EQ(model.DropIndex(100000), 4);
    EXPECT_EQ(model.DropIndex(0), 0);
}

TEST_F(GridModelTest, SuspendedDisplayIsNotFollowedUntilTheLastResume) {
    Open(u"select * from t");
    query.DisableControls();
    query.MoveTo(500);
    EXPECT_EQ(model.CurrentRow(), 0u);
    EXPECT_EQ(model.TopRow(), 0u);
    query.EnableControls();
    EXPECT_EQ(model.CurrentRow(), 500u);
    EXPECT_EQ(model.TopRow(), 491u);

    query.DisableControls();
    Open(u"select name from t");
    EXPECT_EQ(model.ColumnCount(), 5) << "still the old columns";
    EXPECT_EQ(ToUtf8(model.Text(0, 1)), "") << "but nothing read from the new result's cache";
    query.EnableControls();
    EXPECT_EQ(Titles(), "name");
    EXPECT_EQ(model.CurrentRow(), 0u);

    query.DisableControls();
    query.Close();
    EXPECT_FALSE(model.Active()) << "a closed result is never read";
    query.EnableControls();
    EXPECT_EQ(model.ColumnCount(), 1);
}

TEST_F(GridModelTest, WideColumnsScrollHorizontally) {
    Execute(u"create table w (id integer, c varchar(4000), d integer)");
    Execute(u"insert into w values (1, 'wide', 2)");
    Open(u"select * from w");
    EXPECT_EQ(model.Column(1).width, 24004);
    HorizontalBarState bar = model.HorizontalBar();
    EXPECT_TRUE(bar.visible);
    EXPECT_EQ(bar.page, 600 - 12);
    EXPECT_EQ(bar.max, 65 + 24005 + 65 - 1);

    model.HorizontalScroll(GridScroll::LineDown, 0);
    EXPECT_EQ(model.ScrollX(), 65) << "to the next column";
    model.HorizontalScroll(GridScroll::LineDown, 0);
    EXPECT_EQ(model.ScrollX(), 65 + 588) << "no further than a page inside a wide column";
    model.KeyDown(GridKey::End, {});
    EXPECT_EQ(model.ScrollX(), 65 + 24005 + 65 - 588) << "the last column comes into view";
    model.KeyDown(GridKey::Left, {});
    EXPECT_EQ(model.ScrollX(), 65) << "a wide column shows its start";
    model.HorizontalScroll(GridScroll::Top, 0);
    EXPECT_EQ(model.ScrollX(), 0);

    model.SetMetrics(Metrics(12));
    EXPECT_EQ(model.Column(1).width, 48008) << "a new density scales the widths";
}

} // namespace

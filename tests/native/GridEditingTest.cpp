#include <gtest/gtest.h>

#include <string>

#include "MessageOf.h"
#include "SqliteQueryFixture.h"
#include "data/DataSource.h"
#include "grid/GridModel.h"
#include "grid/QueryRowSource.h"

// The grid's editing keys on a real SQLite table: what they do to the row, the editor and the
// database.

namespace {

class GridEditing : public SqliteQueryFixture {
protected:
    GridEditing() {
        source.SetDataSet(&query);
        link.SetDataSource(&source);
        Execute(u"create table t (id integer primary key, name varchar(8), amount decimal(8,2))");
        Execute(u"insert into t values (1, 'one', 1.5), (2, 'two', 2.5), (3, 'three', 3.5)");
        model.SetClientSize(600, 300);
        model.SetRowSource(&rows);
        model.ConfirmDelete = [this] {
            ++confirmations;
            return confirmDelete;
        };
        Open(u"select id, name, amount from t order by id");
    }

    // What the table holds, read on a second connection.
    std::string Table() {
        return TableText(platform, connection.ConnectionString(),
                         u"select id, name, amount from t order by id");
    }
    void Key(GridKey key, GridShift shift = {}) { model.KeyDown(key, shift); }
    // As the view does: the editor opens on typing, with its text selected, so the typed text
    // replaces it.
    void Type(const std::u16string& text) {
        model.OpenEditor();
        model.EditorTextChanged(text);
    }

    TDataSource source;
    QueryRowSource rows{&query};
    GridModel model;
    TDataLink link{[this](TDataEvent event) { model.RowsChanged(RowEventFor(event)); }};
    bool confirmDelete = false;
    int confirmations = 0;
};

const GridShift ctrl{false, true, false};

TEST(GridEditorKeys, MovesAndEndingsGoToTheGridTextKeysStayInTheEditor) {
    const GridShift none{}, shift{true, false, false};
    struct Case {
        GridKey key;
        GridShift shift;
        std::size_t start, end; // the selection in a text of 5
        bool toGrid;
        const char* what;
    } cases[] = {
        {GridKey::Down, none, 2, 2, true, "Down"},
        {GridKey::Tab, shift, 2, 2, true, "Shift+Tab"},
        {GridKey::Escape, none, 2, 2, true, "Esc"},
        {GridKey::Enter, none, 2, 2, true, "Enter"},
        {GridKey::Left, none, 2, 2, false, "Left inside the text"},
        {GridKey::Left, none, 0, 0, true, "Left at the start"},
        {GridKey::Right, none, 5, 5, true, "Right at the end"},
        {GridKey::Right, none, 0, 5, true, "Right with all selected"},
        {GridKey::Right, none, 3, 5, false, "Right with part selected"},
        {GridKey::Home, none, 2, 2, false, "Home"},
        {GridKey::End, ctrl, 2, 2, true, "Ctrl+End"},
        {GridKey::Delete, none, 2, 2, false, "Delete"},
        {GridKey::Delete, ctrl, 2, 2, true, "Ctrl+Delete"},
        {GridKey::Insert, none, 2, 2, true, "Insert"},
        {GridKey::Insert, shift, 2, 2, false, "Shift+Insert pastes"},
        {GridKey::Other, none, 2, 2, false, "a letter's key"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorPassesKey(c.key, c.shift, c.start, c.end, 5), c.toGrid) << c.what;
}

TEST_F(GridEditing, TypingEditsTheRowMovingOnWritesItEscRestores) {
    Key(GridKey::Right); // name
    EXPECT_TRUE(model.OpenEditor());
    EXPECT_EQ(ToUtf8(model.EditorText()), "one");
    EXPECT_EQ(model.RowState(), GridRowState::Browsing) << "opening the editor edits nothing";
    model.EditorTextChanged(u"uno");
    EXPECT_EQ(model.Marker(0), GridMarker::IBeam);
    Key(GridKey::Down);
    EXPECT_EQ(model.RowState(), GridRowState::Browsing);
    EXPECT_FALSE(model.EditorOpen()) << "the editor closes on leaving its cell";
    EXPECT_EQ(Table(), "1|uno|1.5/2|two|2.5/3|three|3.5");

    // Esc first restores the cell's text, then drops the row's changes.
    Type(u"dos");
    Key(GridKey::Right);
    Type(u"9");
    Key(GridKey::Escape);
    EXPECT_EQ(ToUtf8(model.Text(1, 2)), "2.5");
    EXPECT_EQ(ToUtf8(model.Text(1, 1)), "dos") << "the other cell's text was applied";
    EXPECT_EQ(model.RowState(), GridRowState::Editing);
    Key(GridKey::Escape);
    EXPECT_EQ(model.RowState(), GridRowState::Browsing);
    EXPECT_EQ(ToUtf8(model.Text(1, 1)), "two");

    // Enter applies and closes an open editor, and opens a closed one.
    Key(GridKey::Enter);
    EXPECT_TRUE(model.EditorOpen());
    model.EditorTextChanged(u"7");
    Key(GridKey::Enter);
    EXPECT_FALSE(model.EditorOpen());
    EXPECT_EQ(ToUtf8(model.Text(1, 2)), "7");
    EXPECT_EQ(Table(), "1|uno|1.5/2|two|2.5/3|three|3.5") << "not posted before the row is left";
    Key(GridKey::Up);
    EXPECT_EQ(Table(), "1|uno|1.5/2|two|7/3|three|3.5");
}

TEST_F(GridEditing, RefusedTextAndRefusedWritesKeepTheGridAsItWas) {
    Key(GridKey::End); // amount
    Type(u"abc");
    EXPECT_EQ(MessageOf([&] { Key(GridKey::Down); }),
              "'abc' is not a valid floating point value for field 'amount'");
    EXPECT_EQ(model.CurrentRow(), 0u);
    EXPECT_TRUE(model.EditorOpen());
    EXPECT_EQ(ToUtf8(model.EditorText()), "abc");
    EXPECT_EQ(model.RowState(), GridRowState::Editing);

    // The key column: another row's key is taken, so the database refuses the write.
    Key(GridKey::Escape);
    Key(GridKey::Home);
    Type(u"2");
    EXPECT_NE(MessageOf([&] { Key(GridKey::Down); }), "(no error)");
    EXPECT_EQ(model.CurrentRow(), 0u);
    EXPECT_EQ(model.RowState(), GridRowState::Editing);
    EXPECT_EQ(ToUtf8(model.Text(0, 0)), "2");
    Key(GridKey::Escape);
    EXPECT_EQ(model.RowState(), GridRowState::Browsing);
    EXPECT_EQ(Table(), "1|one|1.5/2|two|2.5/3|three|3.5");
}

TEST_F(GridEditing, NewRowsComeWithInsertDownAndTabAndGoWhenNothingWasTyped) {
    Key(GridKey::Down);
    Key(GridKey::Insert);
    EXPECT_EQ(model.RowState(), GridRowState::Inserting);
    EXPECT_EQ(model.Marker(1), GridMarker::Star);
    EXPECT_EQ(query.FetchedCount(), 4u);
    EXPECT_EQ(ToUtf8(model.Text(2, 1)), "two") << "inserted before the current row";
    Key(GridKey::Down); // untouched and not last: dropped, the row after it is current
    EXPECT_EQ(query.FetchedCount(), 3u);
    EXPECT_EQ(model.CurrentRow(), 1u);
    EXPECT_EQ(ToUtf8(model.Text(1, 1)), "two");

    Key(GridKey::End, ctrl);
    Key(GridKey::Down); // on the last row: appends
    EXPECT_EQ(model.CurrentRow(), 3u);
    EXPECT_EQ(model.RowState(), GridRowState::Inserting);
    Key(GridKey::Down); // untouched and last: nothing more
    EXPECT_EQ(query.FetchedCount(), 4u);
    Key(GridKey::Up); // untouched and last: only dropped
    EXPECT_EQ(query.FetchedCount(), 3u);
    EXPECT_EQ(model.CurrentRow(), 2u);
    EXPECT_EQ(model.RowState(), GridRowState::Browsing);

    // Tab past the last cell of the last row appends too, at the first column; typed into,
    // the row is written when left.
    Key(GridKey::End);
    Key(GridKey::Tab);
    EXPECT_EQ(model.RowState(), GridRowState::Inserting);
    EXPECT_EQ(model.CurrentColumn(), 0);
    Key(GridKey::Right);
    Type(u"four");
    Key(GridKey::Up);
    EXPECT_EQ(Table(), "1|one|1.5/2|two|2.5/3|three|3.5/4|four|");

    // Leaving the grid drops an untouched new row, and applies typed text without posting.
    Key(GridKey::Insert);
    model.FocusLost();
    EXPECT_EQ(query.FetchedCount(), 4u);
    Type(u"drei");
    model.FocusLost();
    EXPECT_EQ(model.RowState(), GridRowState::Editing);
    EXPECT_FALSE(model.EditorOpen());
    EXPECT_EQ(ToUtf8(model.Text(2, 1)), "drei");
    query.First(); // stepped from elsewhere, as Copy does: posted
    EXPECT_EQ(Table(), "1|one|1.5/2|two|2.5/3|drei|3.5/4|four|");

    // A click below an untouched new row lands on the row clicked, though that row moves up.
    Key(GridKey::Insert);
    ASSERT_EQ(ToUtf8(model.Text(2, 1)), "two");
    model.Click(model.ColumnLeft(1) + 2, model.LineTop(2) + 2);
    EXPECT_EQ(query.FetchedCount(), 4u);
    EXPECT_EQ(ToUtf8(model.Text(model.CurrentRow(), 1)), "two");
}

TEST_F(GridEditing, CtrlDeleteAsksFirst) {
    Key(GridKey::Down);
    Key(GridKey::Delete, ctrl);
    EXPECT_EQ(confirmations, 1);
    EXPECT_EQ(Table(), "1|one|1.5/2|two|2.5/3|three|3.5") << "Cancel keeps the row";
    confirmDelete = true;
    Key(GridKey::Delete, ctrl);
    EXPECT_EQ(Table(), "1|one|1.5/3|three|3.5");
    EXPECT_EQ(ToUtf8(model.Text(model.CurrentRow(), 1)), "three");
    Key(GridKey::Delete); // without Ctrl it is no grid key
    EXPECT_EQ(confirmations, 2);
}

TEST_F(GridEditing, TypedTextInTheEditorIsWrittenWhenTheQueryIsSteppedFromElsewhere) {
    Key(GridKey::Right);
    Type(u"first");
    query.DisableControls(); // as Copy does
    query.First();
    query.EnableControls();
    EXPECT_EQ(Table(), "1|first|1.5/2|two|2.5/3|three|3.5");
    EXPECT_EQ(model.RowState(), GridRowState::Browsing);
}

TEST_F(GridEditing, ReadOnlyResultsAndColumns) {
    Open(u"select id, name, id * 2 as twice, amount from t order by id");
    Key(GridKey::Tab); // name
    Key(GridKey::Tab); // skips the computed column
    EXPECT_EQ(model.CurrentColumn(), 3);
    Key(GridKey::Tab, {true, false, false});
    Key(GridKey::Right);
    EXPECT_TRUE(model.OpenEditor()) << "the editor opens on any cell";
    EXPECT_TRUE(model.EditorReadOnly());
    model.EditorTextChanged(u"5");
    EXPECT_EQ(model.RowState(), GridRowState::Browsing);

    Execute(u"create table u (k integer primary key, v varchar(5))");
    Open(u"select t.name, u.v from t join u on u.k = t.id");
    Execute(u"insert into u values (1, 'x')");
    Open(u"select t.name, u.v from t join u on u.k = t.id");
    Key(GridKey::Insert);
    Key(GridKey::Delete, ctrl);
    Type(u"changed");
    EXPECT_EQ(model.RowState(), GridRowState::Browsing);
    EXPECT_EQ(query.FetchedCount(), 1u);
    EXPECT_EQ(confirmations, 0);
}

TEST_F(GridEditing, AnEditorThatStaysOpen) {
    model.SetAlwaysShowEditor(true);
    Open(u"select id, name, amount from t order by id"); // as at the grid's creation
    Key(GridKey::Right);
    EXPECT_TRUE(model.EditorOpen());
    EXPECT_EQ(ToUtf8(model.EditorText()), "one");
    Key(GridKey::Enter);
    EXPECT_TRUE(model.EditorOpen());
    Key(GridKey::Down);
    EXPECT_TRUE(model.EditorOpen());
    EXPECT_EQ(ToUtf8(model.EditorText()), "two");
    Key(GridKey::Insert);
    EXPECT_TRUE(model.EditorOpen());
    EXPECT_EQ(ToUtf8(model.EditorText()), "") << "the new row's editor, not the old row's";
}

} // namespace

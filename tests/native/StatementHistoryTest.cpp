#include <gtest/gtest.h>

#include "app/StatementHistory.h"
#include "base/Text.h"

namespace {

TStringList Statement(const char16_t* line) {
    return TStringList{line};
}

std::string Shown(const StatementHistory::View& view) {
    std::string text;
    for (const auto& line : view.editorLines)
        text += ToUtf8(line) + "|";
    return text + " #" + (view.counter ? std::to_string(*view.counter) : "kept");
}

// Each step from a given history: the position after it and what editor and counter show.
TEST(StatementHistory, StepsFollowTheTransitionTable) {
    struct Step {
        enum { Push, Older, Newer } action;
        const char16_t* pushed;
        int position;
        const char* shown; // the editor's lines, each ended by "|", and the counter
    } steps[] = {
        // Before any run: Newer empties the editor and stays at 0; Older walks empty slots.
        {Step::Newer, nullptr, 0, " #kept"},       {Step::Older, nullptr, 1, " #1"},
        {Step::Older, nullptr, 2, " #2"},          {Step::Push, u"select 1", 1, nullptr},
        {Step::Push, u"select 2", 1, nullptr},     {Step::Older, nullptr, 2, "select 1| #2"},
        {Step::Newer, nullptr, 1, "select 2| #1"}, {Step::Newer, nullptr, 0, " #kept"},
        {Step::Older, nullptr, 1, "select 2| #1"},
    };
    StatementHistory history;
    int index = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(index++);
        if (step.action == Step::Push) {
            history.Push(Statement(step.pushed));
        } else if (step.action == Step::Older) {
            auto view = history.Older();
            ASSERT_TRUE(view);
            EXPECT_EQ(Shown(*view), step.shown);
        } else {
            auto view = history.Newer();
            EXPECT_EQ(Shown(view), step.shown);
        }
        EXPECT_EQ(history.Position(), step.position);
    }
}

TEST(StatementHistory, OlderStopsAtTheTenthSlotEvenWhenEmpty) {
    StatementHistory history;
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(history.Older());
    EXPECT_EQ(history.Position(), 10);
    EXPECT_FALSE(history.Older());
    EXPECT_EQ(history.Position(), 10);
}

TEST(StatementHistory, KeepsTheTenNewestAsCopies) {
    StatementHistory history;
    TStringList editor;
    for (int run = 1; run <= 11; ++run) {
        editor = {u"select " + FromUtf8(std::to_string(run)), u"from t"};
        history.Push(editor);
    }
    editor[0] = u"changed in the editor";
    EXPECT_EQ(ToUtf8(history.Slot(1)[0]), "select 11");
    EXPECT_EQ(ToUtf8(history.Slot(10)[0]), "select 2") << "the first run is gone";
    EXPECT_EQ(history.Slot(10).size(), 2u);

    // Recalling slot 4 and running it again keeps both copies.
    for (int i = 0; i < 4; ++i)
        history.Older();
    TStringList recalled = history.Slot(4);
    history.Push(recalled);
    EXPECT_EQ(history.Position(), 1);
    EXPECT_EQ(history.Slot(1), history.Slot(5));

    history.Push({});
    EXPECT_TRUE(history.Slot(1).empty()) << "an empty editor is stored as an empty slot";
}

} // namespace

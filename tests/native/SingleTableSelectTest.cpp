#include <gtest/gtest.h>

#include "base/Text.h"
#include "data/SingleTableSelect.h"
#include "data/SqlLexer.h"

namespace {

// "schema.table alias @fromAt", or "-" when the text is not a single-table SELECT.
std::string Scanned(std::u16string_view text) {
    SingleTableSelect select;
    if (!ScanSingleTableSelect(text, select))
        return "-";
    return ToUtf8(select.schema) + "." + ToUtf8(select.table) + " " + ToUtf8(select.alias) + " @" +
           std::to_string(select.fromAt);
}

TEST(SingleTableSelect, ReadsOneTableAndStopsAtTheEndOfEveryComment) {
    struct Case {
        const char16_t* text;
        const char* scanned;
    } cases[] = {
        {u"select * from people", ".people  @9"},
        {u"select a from main.t as x -- note", "main.t x @9"},
        {u"select * from \"my \"\"t\"\"\" x", ".my \"t\" x @9"},
        {u"select * from t /* c */ ;  -- end", ".t  @9"},
        {u"select * from t where a = '/*'", ".t  @9"},
        // A comment left open ends with the text.
        {u"select * from people /* the whole table", ".people  @9"},
        {u"select * from people -- the whole table", ".people  @9"},
        {u"select * /* from", "-"},
        {u"SELECT 1/*", "-"},
        {u" /*", "-"},
        {u"/*", "-"},
        {u"select * from t /*/", ".t  @9"},
        {u"select * from t; select 2", "-"},
        {u"select distinct a from t", "-"},
        {u"select a from t group by a", "-"},
        {u"select * from a join b", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Scanned(c.text), c.scanned) << ToUtf8(c.text);
}

TEST(SingleTableSelect, OnlyCommentsLeftSeesOpenComments) {
    struct Case {
        const char16_t* text;
        bool onlyComments;
    } cases[] = {
        {u"", true},           {u" ;; -- x", true}, {u" /*", true}, {u"/* open ; x", true},
        {u"/* a */ x", false}, {u"-- a\nx", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OnlyCommentsLeft(c.text), c.onlyComments) << ToUtf8(c.text);
}

} // namespace

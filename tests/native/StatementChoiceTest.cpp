#include <gtest/gtest.h>

#include "app/StatementChoice.h"
#include "base/Text.h"

namespace {

TEST(StatementChoice, SelectAnywhereInTheFirstRowInAnyCaseOpens) {
    struct Case {
        const char16_t* firstRow;
        bool opens;
    } cases[] = {
        {u"select * from t", true},
        {u"  SeLeCt 1", true},
        {u"update t set name = 'selected'", true},
        {u"with x as (", false},
        {u"", false},
        {u"delete from t", false},
        {u"ſelect", false}, // only a..z are upper-cased
        {u"שלום select", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirstRowAsksForRows(c.firstRow), c.opens) << ToUtf8(c.firstRow);
}

} // namespace

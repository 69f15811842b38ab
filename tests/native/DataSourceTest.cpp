#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SqliteQueryFixture.h"
#include "data/DataSource.h"

// A data source passes its query's events to every linked control; the source, its query and
// its links may go in any order.

namespace {

class DataSourceTest : public SqliteQueryFixture {
protected:
    DataSourceTest() { Open(u"select 1 union all select 2 union all select 3"); }

    // A link that writes what it hears into `heard` under its name.
    std::unique_ptr<TDataLink> Link(const std::string& name, TDataSource& source) {
        auto link = std::make_unique<TDataLink>([this, name](TDataEvent event) {
            heard += name + (event == TDataEvent::Scrolled ? "S " : "? ");
        });
        link->SetDataSource(&source);
        return link;
    }

    std::string heard;
};

TEST_F(DataSourceTest, EveryLinkHearsTheQueryUntilItGoes) {
    TDataSource source;
    source.SetDataSet(&query);
    auto a = Link("a", source);
    auto b = Link("b", source);
    query.Next();
    EXPECT_EQ(heard, "aS bS ");

    a.reset();
    query.Next();
    EXPECT_EQ(heard, "aS bS bS ") << "a link that went hears nothing";

    b->SetDataSource(nullptr);
    query.Prior();
    EXPECT_EQ(heard, "aS bS bS ") << "nor one unlinked";
    EXPECT_EQ(b->DataSet(), nullptr);
}

TEST_F(DataSourceTest, ALinkThatGoesDuringAnEventIsNotCalled) {
    TDataSource source;
    source.SetDataSet(&query);
    std::unique_ptr<TDataLink> second;
    TDataLink first([&](TDataEvent) {
        heard += "first ";
        second.reset();
    });
    first.SetDataSource(&source);
    second = Link("second", source);
    query.Next();
    EXPECT_EQ(heard, "first ");
}

TEST_F(DataSourceTest, TheSourceOrItsQueryMayGoFirst) {
    auto source = std::make_unique<TDataSource>();
    source->SetDataSet(&query);
    auto link = Link("a", *source);
    EXPECT_EQ(link->DataSet(), &query);
    source.reset();
    EXPECT_EQ(link->DataSource(), nullptr) << "the source unlinks its links when it goes";
    EXPECT_EQ(link->DataSet(), nullptr);
    query.Next();
    EXPECT_EQ(heard, "") << "the query no longer reports to it";

    TDataSource other;
    auto second = std::make_unique<TADOQuery>(platform);
    other.SetDataSet(second.get());
    link->SetDataSource(&other);
    second.reset();
    EXPECT_EQ(other.DataSet(), nullptr) << "a query that goes leaves its source";
    EXPECT_EQ(link->DataSet(), nullptr);
}

TEST_F(DataSourceTest, AQueryReportsToOneSource) {
    TDataSource first, second;
    first.SetDataSet(&query);
    second.SetDataSet(&query);
    EXPECT_EQ(first.DataSet(), nullptr);
    auto a = Link("a", first);
    auto b = Link("b", second);
    query.Next();
    EXPECT_EQ(heard, "bS ");
}

} // namespace

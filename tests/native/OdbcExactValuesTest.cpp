#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Text.h"
#include "data/drivers/Driver.h"
#include "tests/native/DriverValues.h"
#include "tests/native/MessageOf.h"
#include "tests/native/PostgresFixture.h"

// Values read through psqlODBC are the values the rows are found by again: every one gives
// back exactly what the database stores, or is text, or is refused when bound.

namespace {

// A value read, kept beyond the next fetch.
struct Kept {
    CellValue value;
    std::u16string text;
};

class OdbcExact : public PostgresFixture {
protected:
    void TearDown() override {
        if (db)
            db->Execute(u"drop table if exists ev_cs, ev_stamps");
    }

    std::vector<Kept> Column(const std::u16string& sql) {
        auto result = db->OpenResult(sql);
        std::vector<Kept> kept;
        std::vector<CellValue> row;
        while (result && result->Fetch(row))
            kept.push_back({row.at(0), std::u16string(row[0].text)});
        for (Kept& k : kept)
            k.value.text = k.text;
        return kept;
    }

    std::string Shown(const std::u16string& sql) {
        std::vector<Kept> kept = Column(sql);
        return kept.size() == 1 ? Show(kept[0].value) : "rows: " + std::to_string(kept.size());
    }
};

TEST_F(OdbcExact, KeyColumnsAreTheColumnsOfTheirExactNames) {
    db->Execute(u"drop table if exists ev_cs");
    db->Execute(u"create table ev_cs (\"ID\" int primary key, id int, v text)");
    db->Execute(u"insert into ev_cs values (1, 5, 'p'), (2, 5, 'q'), (3, 6, 'r')");
    auto result = db->OpenResult(u"select id, \"ID\", v from ev_cs");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Columns().at(0).baseColumn, u"id");
    EXPECT_EQ(result->Columns().at(1).baseColumn, u"ID");
    result.reset();
    EXPECT_FALSE(db->Dialect().namesIgnoreCase);
    EXPECT_EQ(db->UniqueKeys(u"public", u"ev_cs"),
              (std::vector<std::vector<std::u16string>>{{u"ID"}}));
}

// Each pair differs by less than a millisecond, or only in its offset from UTC.
TEST_F(OdbcExact, StampsFinerThanTheMillisecondOrWithAnOffsetFindTheirOwnRow) {
    struct Case {
        const char16_t* zone;
        const char16_t* type;
        const char16_t* first;
        const char16_t* second;
        const char* shown;      // the first as the user sees it
        const char* storedText; // and as it is bound again
    } cases[] = {
        {u"'UTC'", u"timestamptz", u"2024-11-03 05:30Z", u"2024-11-03 06:30Z",
         "dt:2024-11-03 05:30:00.000", "2024-11-03 05:30:00+00"},
        {u"interval '+05:30'", u"timestamptz", u"2024-11-03 05:30Z", u"2024-11-03 05:30:00.0001Z",
         "dt:2024-11-03 11:00:00.000", "2024-11-03 11:00:00+05:30"},
        {u"'UTC'", u"timestamp(6)", u"2024-01-01 00:00:00.123456", u"2024-01-01 00:00:00.123457",
         "dt:2024-01-01 00:00:00.123", "2024-01-01 00:00:00.123456"},
        {u"'UTC'", u"timestamp(6)", u"1999-12-31 23:59:59.999999", u"1999-12-31 23:59:59.9999",
         "dt:1999-12-31 23:59:59.999", "1999-12-31 23:59:59.999999"},
        {u"'UTC'", u"time(6)", u"12:00:00.123456", u"12:00:00.123457", "dt:0000-00-00 12:00:00.123",
         "12:00:00.123456"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.type) + " " + ToUtf8(c.first));
        db->Execute(u"set time zone " + std::u16string(c.zone));
        db->Execute(u"drop table if exists ev_stamps");
        db->Execute(u"create table ev_stamps (k " + std::u16string(c.type) +
                    u" primary key, v text)");
        db->Execute(u"insert into ev_stamps values ('" + std::u16string(c.first) + u"', 'a'), ('" +
                    c.second + u"', 'b')");
        std::vector<Kept> keys = Column(u"select k from ev_stamps order by v");
        ASSERT_EQ(keys.size(), 2u);
        EXPECT_EQ(Show(keys[0].value), c.shown);
        EXPECT_EQ(ToUtf8(keys[0].text), c.storedText);
        ASSERT_EQ(keys[1].value.tag, CellValue::Tag::DateTime);
        EXPECT_NE(keys[0].text, keys[1].text);

        TFieldType type =
            std::u16string(c.type) == u"time(6)" ? TFieldType::Time : TFieldType::DateTime;
        for (const Kept& key : keys)
            EXPECT_EQ(db->ExecuteBound(u"update ev_stamps set v = v || '!' where k = ?",
                                       {BoundValue{type, 0, 0, 0, key.value}}),
                      1);
        EXPECT_EQ(db->ExecuteBound(u"delete from ev_stamps where k = ?",
                                   {BoundValue{type, 0, 0, 0, keys[0].value}}),
                  1);
        EXPECT_EQ(Shown(u"select string_agg(v, ',') from ev_stamps"), "text:b!");
    }
}

// psqlODBC drops the offset of what it reads. In a zone with summer time a wall time is found
// again by the zone's name, whatever the session's zone then; where the clock was set back it
// stands for two instants (05:30 and 06:30 UTC that day are both 01:30 in New York) and the
// write is refused.
TEST_F(OdbcExact, AWallTimeFindsItsRowOnlyWhereItStandsForOneInstant) {
    db->Execute(u"set time zone 'America/New_York'");
    db->Execute(u"drop table if exists ev_stamps");
    db->Execute(u"create table ev_stamps (k timestamptz primary key, v text)");
    db->Execute(u"insert into ev_stamps values ('2024-11-03 05:30Z', 'a'), "
                u"('2024-11-03 06:30Z', 'b'), ('2024-07-01 12:00Z', 'c')");
    std::vector<Kept> keys = Column(u"select k from ev_stamps order by v");
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(Show(keys[0].value), "dt:2024-11-03 01:30:00.000");
    EXPECT_EQ(ToUtf8(keys[0].text), "2024-11-03 01:30:00 America/New_York");
    EXPECT_EQ(Show(keys[2].value), "dt:2024-07-01 08:00:00.000");

    db->Execute(u"set time zone 'UTC'");
    auto update = [&](const Kept& key) {
        return db->ExecuteBound(u"update ev_stamps set v = v || '!' where k = ?",
                                {BoundValue{TFieldType::DateTime, 0, 0, 0, key.value}});
    };
    for (int i : {0, 1})
        EXPECT_EQ(MessageOf([&] { update(keys[i]); }),
                  "The time 2024-11-03 01:30:00 stands for two instants in the time zone "
                  "America/New_York (the clock was set back); no row can be found by it.");
    EXPECT_EQ(update(keys[2]), 1);
    EXPECT_EQ(Shown(u"select string_agg(v, ',' order by v) from ev_stamps"), "text:a,b,c!");
    // A timestamp without a zone is what it says.
    EXPECT_EQ(Shown(u"select timestamp '2024-11-03 01:30'"), "dt:2024-11-03 01:30:00.000");
}

// What a date-time of ours cannot hold is shown as text, never as some other date.
TEST_F(OdbcExact, DatesBeyondWhatADateTimeHoldsAreText) {
    db->Execute(u"set time zone 'UTC'");
    struct Case {
        const char16_t* value;
        const char* shown;
    } cases[] = {
        {u"'infinity'::date", "text:infinity"},
        {u"'-infinity'::date", "text:-infinity"},
        {u"'10000-01-01'::date", "text:10000-?\?-?\?"},
        {u"'0001-01-01'::date", "dt:0001-01-01 00:00:00.000"},
        {u"'9999-12-31'::date", "dt:9999-12-31 00:00:00.000"},
        {u"'infinity'::timestamp", "text:infinity"},
        {u"'-infinity'::timestamp", "text:-infinity"},
        {u"'9999-12-31 23:59:59'::timestamp", "dt:9999-12-31 23:59:59.000"},
        {u"'12345-06-07 08:09'::timestamp", "text:12345-?\?-?\?"},
        {u"'0044-03-15 10:00 BC'::timestamp", "text:0044-03-15 10:00:00 BC"},
        {u"'4713-01-01 00:00:00.5 BC'::timestamp", "text:4713-01-01 00:00:00.5 BC"},
        {u"'infinity'::timestamptz", "text:infinity"},
        {u"'0044-03-15 10:00Z BC'::timestamptz", "text:0044-03-15 10:00:00+00 BC"},
        {u"'24:00'::time", "text:24:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Shown(u"select " + std::u16string(c.value)), c.shown) << ToUtf8(c.value);
}

} // namespace

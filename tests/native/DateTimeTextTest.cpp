#include <gtest/gtest.h>

#include <cstdio>

#include "base/Text.h"
#include "data/DateTimeText.h"

namespace {

// The parsed value as "text | dt:shown-to-the-millisecond | exact", or "<no>".
std::string Read(std::u16string_view text) {
    DateTimeFields fields;
    if (!ParseDateTimeFields(text, fields))
        return "<no>";
    std::u16string again;
    AppendDateTimeText(again, fields);
    std::string shown = ToUtf8(again);
    TDateTime t;
    if (FieldsToDateTime(fields, t)) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, " | %04d-%02d-%02d %02d:%02d:%02d.%03d", t.year,
                      t.month, t.day, t.hour, t.minute, t.second, t.millisecond);
        shown += buffer;
    } else {
        shown += " | unfit";
    }
    return shown + (NeedsStoredText(fields) ? " | text" : "");
}

TEST(DateTimeText, ReadsWhatDatabasesWrite) {
    struct Case {
        const char16_t* text;
        const char* read;
    } cases[] = {
        {u"2024-02-29", "2024-02-29 | 2024-02-29 00:00:00.000"},
        {u"2024-02-29T13:45", "2024-02-29 13:45:00 | 2024-02-29 13:45:00.000"},
        {u"2024-02-29 13:45:12.5  ", "2024-02-29 13:45:12.5 | 2024-02-29 13:45:12.500"},
        {u"2024-01-01 00:00:00.123000", "2024-01-01 00:00:00.123000 | 2024-01-01 00:00:00.123"},
        {u"2024-01-01 00:00:00.123456",
         "2024-01-01 00:00:00.123456 | 2024-01-01 00:00:00.123 | text"},
        {u"2024-01-01 00:00:00.1234567", // SQL Server's datetime2
         "2024-01-01 00:00:00.1234567 | 2024-01-01 00:00:00.123 | text"},
        {u"2024-11-03 01:30:00-04", "2024-11-03 01:30:00-04 | 2024-11-03 01:30:00.000 | text"},
        {u"2024-11-03 01:30:00.0000000 -04:00", // datetimeoffset, a blank before the offset
         "2024-11-03 01:30:00.0000000-04 | 2024-11-03 01:30:00.000 | text"},
        {u"1883-11-18 12:00:00-04:56:02",
         "1883-11-18 12:00:00-04:56:02 | 1883-11-18 12:00:00.000 | text"},
        {u"2024-01-01 10:00:00+0530", "2024-01-01 10:00:00+05:30 | 2024-01-01 10:00:00.000 | text"},
        {u"2024-01-01T10:00:00Z", "2024-01-01 10:00:00+00 | 2024-01-01 10:00:00.000 | text"},
        {u"13:45:12.345", "13:45:12.345 | 0000-00-00 13:45:12.345"},
        {u"9:05", "09:05:00 | 0000-00-00 09:05:00.000"},
        {u"12:00:00.123456", "12:00:00.123456 | 0000-00-00 12:00:00.123 | text"},
        {u"10:00:00.5+05:30", "10:00:00.5+05:30 | 0000-00-00 10:00:00.500 | text"},
        {u"24:00:00", "24:00:00 | unfit"},
        {u"0044-03-15 BC", "0044-03-15 BC | unfit"},
        {u"0044-03-15 10:00:00-04:56:02 BC", "0044-03-15 10:00:00-04:56:02 BC | unfit | text"},
        {u"10000-01-01", "10000-01-01 | unfit"},
        {u"294276-12-31 23:59:59.999999", "294276-12-31 23:59:59.999999 | unfit | text"},
        {u"infinity", "<no>"},
        {u"-infinity", "<no>"},
        {u"0000-00-00", "<no>"},
        {u"1000-00-00", "<no>"},
        {u"0000-01-01", "<no>"},
        {u"2024-13-01", "<no>"},
        {u"2024-01-01 25:00", "<no>"},
        {u"24:00:01", "<no>"},
        {u"2024-01-01 10:00:00.", "<no>"},
        {u"2024-01-01 10:00:00.1234567890", "<no>"},
        {u"2024-01-01 10:00:00+16", "<no>"},
        {u"2024-01-01 10:00:00+05:3", "<no>"},
        {u"2024-01-01x", "<no>"},
        {u"", "<no>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.text), c.read) << ToUtf8(c.text);
}

TEST(DateTimeText, KeepsEveryFieldOfTheStoredValue) {
    DateTimeFields f;
    ASSERT_TRUE(ParseDateTimeFields(u"12345-06-07 08:09:10.000000001-03:30 BC", f));
    EXPECT_TRUE(f.hasDate && f.hasTime && f.beforeChrist && f.hasOffset);
    EXPECT_EQ(f.year, 12345);
    EXPECT_EQ(f.nanosecond, 1u);
    EXPECT_EQ(f.fractionDigits, 9);
    EXPECT_EQ(f.offsetSeconds, -(3 * 3600 + 30 * 60));
}

} // namespace

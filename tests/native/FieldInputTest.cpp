#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/FieldInput.h"
#include "data/FieldText.h"
#include "platform/FakePlatform.h"

namespace {

using T = TFieldType;

struct Case {
    TFieldType type;
    std::u16string_view typed;
    const char* expected; // as Outcome writes it
};

// A value in one line: "NULL", "int 5", "real 2.5", "dec 12.50", "text 'a'",
// "2024-03-05 13:04:05.000".
std::string ValueText(const CellValue& value) {
    switch (value.tag) {
    case CellValue::Tag::Null:
        return "NULL";
    case CellValue::Tag::Integer:
        return "int " + std::to_string(value.integer);
    case CellValue::Tag::Real: {
        char digits[32];
        return "real " + std::string(digits, std::to_chars(digits, digits + 32, value.real).ptr);
    }
    case CellValue::Tag::Decimal:
        return "dec " + ToUtf8(value.text);
    case CellValue::Tag::Text:
        return "text '" + ToUtf8(value.text) + "'";
    case CellValue::Tag::Utf8Text:
        return "text '" + std::string(value.utf8) + "'";
    case CellValue::Tag::DateTime: {
        const TDateTime& t = value.dateTime;
        char text[40];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month,
                      t.day, t.hour, t.minute, t.second, t.millisecond);
        return text;
    }
    case CellValue::Tag::Bytes:
        break;
    }
    return "bytes";
}

// The user's formats start as "M/d/yyyy", "h:mm:ss tt" and ".".
class FieldInput : public ::testing::Test {
protected:
    void Use(std::u16string_view date, std::u16string_view time, char16_t separator) {
        platform_.formats = {std::u16string(date), std::u16string(time), separator};
    }

    // What typed text gives, as ValueText writes it, or "! " and the error's message.
    // `original` is what the cell held before; the column holds 64-bit integers when `wide`.
    std::string Outcome(TFieldType type, std::u16string_view typed,
                        const CellValue& original = CellValue::Null(), bool wide = false) const {
        ColumnInfo column;
        column.type = type;
        column.holds64BitIntegers = wide;
        std::u16string storage;
        CellValue value;
        try {
            value = ParseFieldText(column, u"Qty", typed, original, formats_, storage);
        } catch (const Exception& e) {
            return "! " + ToUtf8(e.Message());
        }
        if ((value.tag == CellValue::Tag::Text || value.tag == CellValue::Tag::Decimal) &&
            value.text.data() != storage.data() && value.text.data() != original.text.data())
            return "text outside storage";
        return ValueText(value);
    }

    template <std::size_t N> void Check(const Case (&cases)[N]) const {
        for (const Case& c : cases)
            EXPECT_EQ(Outcome(c.type, c.typed), c.expected) << "typed '" << ToUtf8(c.typed) << "'";
    }

    FakePlatform platform_;
    ValueFormats formats_{platform_};
};

TEST_F(FieldInput, IntegersWithinTheKindsRange) {
    const Case cases[] = {
        {T::Integer, u"42", "int 42"},
        {T::Integer, u" -7 ", "int -7"},
        {T::Integer, u"+15", "int 15"},
        {T::Smallint, u"32767", "int 32767"},
        {T::Smallint, u"-32768", "int -32768"},
        {T::Smallint, u"32768", "! '32768' is not a valid integer value for field 'Qty'"},
        {T::Integer, u"-2147483648", "int -2147483648"},
        {T::Integer, u"2147483648", "! '2147483648' is not a valid integer value for field 'Qty'"},
        {T::Largeint, u"-9223372036854775808", "int -9223372036854775808"},
        {T::Largeint, u"9223372036854775808",
         "! '9223372036854775808' is not a valid integer value for field 'Qty'"},
        {T::Integer, u"3000000000", "! '3000000000' is not a valid integer value for field 'Qty'"},
        {T::Integer, u"12a", "! '12a' is not a valid integer value for field 'Qty'"},
        {T::Integer, u"1.5", "! '1.5' is not a valid integer value for field 'Qty'"},
        {T::Integer, u"+-5", "! '+-5' is not a valid integer value for field 'Qty'"},
        {T::Integer, u"-", "! '-' is not a valid integer value for field 'Qty'"},
        {T::Integer, u"1 2", "! '1 2' is not a valid integer value for field 'Qty'"},
    };
    Check(cases);
}

TEST_F(FieldInput, FloatsAndDecimalsTakeTheUserSeparator) {
    const Case point[] = {
        {T::Float, u"2.5", "real 2.5"},
        {T::Float, u" -1.5e3 ", "real -1500"},
        {T::Float, u"1E-7", "real 1e-07"},
        {T::Float, u".5", "real 0.5"},
        {T::Float, u"5.", "real 5"},
        {T::Float, u"1,5", "! '1,5' is not a valid floating point value for field 'Qty'"},
        {T::Float, u"1e", "! '1e' is not a valid floating point value for field 'Qty'"},
        {T::Float, u"inf", "! 'inf' is not a valid floating point value for field 'Qty'"},
        {T::Float, u"1e400", "! '1e400' is not a valid floating point value for field 'Qty'"},
        {T::Float, u"1e-400", "! '1e-400' is not a valid floating point value for field 'Qty'"},
        // The largest double shows rounded above itself; that text and no further is it.
        {T::Float, u"1.79769313486232E308", "real 1.7976931348623157e+308"},
        {T::Float, u"-1.79769313486232e+308", "real -1.7976931348623157e+308"},
        {T::Float, u"179769313486232e294", "real 1.7976931348623157e+308"},
        {T::Float, u"1.79769313486233E308",
         "! '1.79769313486233E308' is not a valid floating point value for field 'Qty'"},
        {T::Decimal, u"12.50", "dec 12.50"},
        {T::Decimal, u"-0.0010", "dec -0.0010"},
        {T::Decimal, u"+007.5", "dec 7.5"},
        {T::Decimal, u"1E+3", "dec 1000"},
        {T::Decimal, u"12345678901234567890.123456789", "dec 12345678901234567890.123456789"},
        {T::Decimal, u"1,5", "! '1,5' is not a valid floating point value for field 'Qty'"},
        {T::Decimal, u"1.2.3", "! '1.2.3' is not a valid floating point value for field 'Qty'"},
    };
    Check(point);

    platform_.formats.DecimalSeparator = u',';
    const Case comma[] = {
        {T::Float, u"2,5", "real 2.5"},
        {T::Float, u"2.5", "! '2.5' is not a valid floating point value for field 'Qty'"},
        {T::Decimal, u"12,50", "dec 12.50"},
        {T::Decimal, u"-1,5E2", "dec -150"},
        {T::Decimal, u"2.5", "! '2.5' is not a valid floating point value for field 'Qty'"},
    };
    Check(comma);
}

TEST_F(FieldInput, BooleansAreLeadingPartsOfTrueOrFalse) {
    const Case cases[] = {
        {T::Boolean, u"t", "int 1"},
        {T::Boolean, u"TR", "int 1"},
        {T::Boolean, u"True", "int 1"},
        {T::Boolean, u"fAl", "int 0"},
        {T::Boolean, u" FALSE ", "int 0"},
        {T::Boolean, u"yes", "! 'yes' is not a valid boolean value for field 'Qty'"},
        {T::Boolean, u"Truer", "! 'Truer' is not a valid boolean value for field 'Qty'"},
        {T::Boolean, u"1", "! '1' is not a valid boolean value for field 'Qty'"},
    };
    Check(cases);
}

TEST_F(FieldInput, DatesAndTimesFollowTheUserPatterns) {
    const Case unitedStates[] = {
        {T::Date, u"3/5/2024", "2024-03-05 00:00:00.000"},
        {T::Date, u" 3-5-24 ", "2024-03-05 00:00:00.000"},
        {T::Date, u"12/31/99", "1999-12-31 00:00:00.000"},
        {T::Date, u"1/1/0049", "0049-01-01 00:00:00.000"},
        {T::Date, u"2/29/2024", "2024-02-29 00:00:00.000"},
        {T::Date, u"2024-03-05", "2024-03-05 00:00:00.000"},
        {T::Date, u"2/29/2023", "! '2/29/2023' is not a valid date"},
        {T::Date, u"4/31/2024", "! '4/31/2024' is not a valid date"},
        {T::Date, u"13/1/2024", "! '13/1/2024' is not a valid date"},
        {T::Date, u"3/5", "! '3/5' is not a valid date"},
        {T::Date, u"3x5x2024", "! '3x5x2024' is not a valid date"},
        {T::Date, u"3/5/2024 10:00", "! '3/5/2024 10:00' is not a valid date"},
        {T::Time, u"1:04:05 PM", "0000-00-00 13:04:05.000"},
        {T::Time, u"12:00:00 AM", "0000-00-00 00:00:00.000"},
        {T::Time, u"12 pm", "0000-00-00 12:00:00.000"},
        {T::Time, u"9:30a", "0000-00-00 09:30:00.000"},
        {T::Time, u"PM 2:15", "0000-00-00 14:15:00.000"},
        {T::Time, u"23:59:59.5", "0000-00-00 23:59:59.500"},
        {T::Time, u"13:00 PM", "! '13:00 PM' is not a valid time"},
        {T::Time, u"0:30 AM", "! '0:30 AM' is not a valid time"},
        {T::Time, u"24:00", "! '24:00' is not a valid time"},
        {T::Time, u"10:60", "! '10:60' is not a valid time"},
        {T::Time, u"10:30 XM", "! '10:30 XM' is not a valid time"},
        {T::DateTime, u"12/31/2024 11:59:59 PM", "2024-12-31 23:59:59.000"},
        {T::DateTime, u"3/5/2024", "2024-03-05 00:00:00.000"},
        {T::DateTime, u"2024-03-05 10:30", "2024-03-05 10:30:00.000"},
        {T::DateTime, u"2024-03-05T10:30:15", "2024-03-05 10:30:15.000"},
        {T::DateTime, u"3/5/2024 25:00", "! '3/5/2024 25:00' is not a valid date and time"},
        {T::DateTime, u"10:30", "0000-00-00 10:30:00.000"},
        {T::DateTime, u"3:04:05", "0000-00-00 03:04:05.000"},
        {T::DateTime, u"3:04", "0000-00-00 03:04:00.000"},
    };
    Check(unitedStates);

    Use(u"dd/MM/yyyy", u"HH:mm:ss", u'.');
    const Case britain[] = {
        {T::Date, u"05/03/2024", "2024-03-05 00:00:00.000"},
        {T::Date, u"31.12.2024", "2024-12-31 00:00:00.000"},
        {T::Date, u"12/31/2024", "! '12/31/2024' is not a valid date"},
        {T::Date, u"2024-03-05", "2024-03-05 00:00:00.000"},
        {T::Time, u"13:04:05", "0000-00-00 13:04:05.000"},
        {T::Time, u"1:04 PM", "0000-00-00 13:04:00.000"},
        {T::DateTime, u"05/03/2024 13:04:05", "2024-03-05 13:04:05.000"},
    };
    Check(britain);

    // Finnish patterns: periods between the parts of the date and of the time.
    Use(u"d.M.yyyy", u"H.mm.ss", u',');
    const Case finland[] = {
        {T::DateTime, u"5.3.2024 13.04.05", "2024-03-05 13:04:05.000"},
        {T::Time, u"13.04.05.250", "0000-00-00 13:04:05.250"},
    };
    Check(finland);

    // Names and literals are read as the patterns write them; a wrong day name is refused.
    Use(u"dddd, MMMM d, yyyy", u"h:mm tt", u'.');
    const Case named[] = {
        {T::Date, u"Tuesday, March 5, 2024", "2024-03-05 00:00:00.000"},
        {T::DateTime, u"Tuesday, March 5, 2024 1:30 PM", "2024-03-05 13:30:00.000"},
        {T::Date, u"Monday, March 5, 2024", "! 'Monday, March 5, 2024' is not a valid date"},
        {T::Date, u"3/5/2024", "2024-03-05 00:00:00.000"},
    };
    Check(named);
    Use(u"d.M.yyyy 'г.'", u"H:mm:ss", u',');
    const Case literal[] = {
        {T::Date, u"5.3.2024 г.", "2024-03-05 00:00:00.000"},
        {T::DateTime, u"5.3.2024 г. 13:04:05", "2024-03-05 13:04:05.000"},
        {T::Date, u"5.3.2024", "2024-03-05 00:00:00.000"},
    };
    Check(literal);
}

TEST_F(FieldInput, ColumnsOfSixtyFourBitIntegersTakeTheWholeRange) {
    struct Wide {
        TFieldType type;
        std::u16string_view typed;
        const char* expected;
    };
    const Wide cases[] = {
        {T::Integer, u"3000000000", "int 3000000000"},
        {T::Smallint, u"-40000", "int -40000"},
        {T::Integer, u"9223372036854775807", "int 9223372036854775807"},
        {T::Integer, u"-9223372036854775809",
         "! '-9223372036854775809' is not a valid integer value for field 'Qty'"},
    };
    for (const Wide& c : cases)
        EXPECT_EQ(Outcome(c.type, c.typed, CellValue::Null(), true), c.expected) << ToUtf8(c.typed);
}

// Text shown for a value, typed into another cell, gives the value again wherever the text
// holds all of it: every kind, under patterns of each shape.
TEST_F(FieldInput, ShownTextReadsBackAsItsValue) {
    struct Patterns {
        std::u16string_view date, time;
        char16_t separator;
    };
    const Patterns patterns[] = {
        {u"M/d/yyyy", u"h:mm:ss tt", u'.'},      {u"dd/MM/yyyy", u"HH:mm:ss", u'.'},
        {u"d.M.yyyy 'г.'", u"H:mm:ss", u','},    {u"d.M.yy", u"H.mm.ss", u','},
        {u"yyyy. MM. dd.", u"tt h:mm:ss", u'.'}, {u"yyyy-MM-dd", u"HH:mm", u'.'},
        {u"M/d/yyyy", u"h:mm t", u'.'},          {u"dd 'de' MM 'de' yyyy", u"HH'h'mm", u','},
        {u"dd-MMM-yy", u"HH:mm:ss", u'.'},       {u"dddd, MMMM d, yyyy", u"h:mm tt", u'.'},
    };
    auto at = [](int y, int mo, int d, int h = 0, int mi = 0, int sec = 0) {
        return CellValue::OfDateTime({y, mo, d, h, mi, sec, 0});
    };
    // Values every pattern above holds: whole minutes, years from 2000 to 2049.
    const std::pair<TFieldType, CellValue> values[] = {
        {T::Date, at(2024, 3, 5)},
        {T::Date, at(2001, 12, 31)},
        {T::Time, at(0, 0, 0, 0, 0)},
        {T::Time, at(0, 0, 0, 12, 0)},
        {T::Time, at(0, 0, 0, 23, 59)},
        {T::DateTime, at(2024, 3, 5)},
        {T::DateTime, at(2024, 12, 31, 23, 59)},
        {T::DateTime, at(2024, 2, 29, 0, 1)},
        {T::DateTime, at(2049, 1, 2, 12, 30)},
        {T::DateTime, at(0, 0, 0, 3, 4)},
        {T::DateTime, at(0, 0, 0, 0, 0)},
        {T::DateTime, at(0, 0, 0, 15, 30)},
        {T::Float, CellValue::OfReal(2.5)},
        {T::Float, CellValue::OfReal(-0.001)},
        {T::Float, CellValue::OfReal(0.1)},
        {T::Float, CellValue::OfReal(1.5e-7)},
        {T::Float, CellValue::OfReal(123456789012345.0)},
        {T::Float, CellValue::OfReal(std::numeric_limits<double>::max())},
        {T::Float, CellValue::OfReal(-std::numeric_limits<double>::max())},
        {T::Float, CellValue::OfReal(std::numeric_limits<double>::denorm_min())},
        {T::Decimal, CellValue::OfDecimal(u"-123.45")},
        {T::Smallint, CellValue::OfInteger(-32768)},
        {T::Integer, CellValue::OfInteger(2147483647)},
        {T::Largeint, CellValue::OfInteger(std::numeric_limits<std::int64_t>::min())},
        {T::Boolean, CellValue::OfInteger(1)},
        {T::Boolean, CellValue::OfInteger(0)},
        {T::WideString, CellValue::OfText(u" a\u05D0 ")},
    };
    // And those the patterns with seconds hold.
    const std::pair<TFieldType, CellValue> withSeconds[] = {
        {T::Time, at(0, 0, 0, 13, 4, 5)},
        {T::DateTime, at(0, 0, 0, 3, 4, 5)},
        {T::DateTime, at(2024, 3, 5, 0, 0, 59)},
    };
    for (const Patterns& p : patterns) {
        Use(p.date, p.time, p.separator);
        std::vector<std::pair<TFieldType, CellValue>> held(std::begin(values), std::end(values));
        if (p.time.find(u's') != std::u16string_view::npos)
            held.insert(held.end(), std::begin(withSeconds), std::end(withSeconds));
        for (const auto& [type, value] : held) {
            std::u16string shown = FieldValueText(type, value, formats_);
            EXPECT_EQ(Outcome(type, shown), ValueText(value))
                << ToUtf8(p.date) << " | " << ToUtf8(p.time) << ": '" << ToUtf8(shown) << "'";
        }
    }
}

// Where the shown text lost part of the value, typing it back keeps the value; the same text
// typed anywhere else means what it says, and so does any other text.
TEST_F(FieldInput, ShownTextThatLostPartOfTheValueKeepsIt) {
    struct Lossy {
        std::u16string_view date, time;
        TFieldType type;
        CellValue value;
        const char* elsewhere; // the shown text typed where the cell held nothing
    };
    const Lossy cases[] = {
        {u"M/d/yyyy", u"h:mm:ss tt", T::Time, CellValue::OfDateTime({0, 0, 0, 10, 0, 0, 500}),
         "0000-00-00 10:00:00.000"},
        {u"M/d/yyyy", u"HH:mm", T::DateTime, CellValue::OfDateTime({2024, 3, 5, 10, 30, 45, 0}),
         "2024-03-05 10:30:00.000"},
        {u"M/d/yy", u"HH:mm", T::Date, CellValue::OfDateTime({1949, 3, 5}),
         "2049-03-05 00:00:00.000"},
        {u"M/d/yyyy", u"HH:mm", T::Date, CellValue::OfDateTime({2024, 3, 5, 10, 0, 0, 0}),
         "2024-03-05 00:00:00.000"},
        {u"M/d/yyyy", u"h:mm", T::Time, CellValue::OfDateTime({0, 0, 0, 15, 30, 0, 0}),
         "0000-00-00 03:30:00.000"},
        {u"M/d/yyyy", u"HH:mm", T::Float, CellValue::OfReal(1.0 / 3), "real 0.333333333333333"},
        {u"M/d/yyyy", u"HH:mm", T::Float, CellValue::OfReal(0.1 + 0.2), "real 0.3"},
        {u"M/d/yyyy", u"HH:mm", T::Boolean, CellValue::OfInteger(5), "int 1"},
        {u"M/d/yyyy", u"HH:mm", T::Integer, CellValue::OfText(u"n/a"),
         "! 'n/a' is not a valid integer value for field 'Qty'"},
        {u"M/d/yyyy", u"HH:mm", T::Decimal, CellValue::OfDecimal(u"12.50"), "dec 12.5"},
    };
    for (const Lossy& c : cases) {
        Use(c.date, c.time, u'.');
        std::u16string shown = FieldValueText(c.type, c.value, formats_);
        EXPECT_EQ(Outcome(c.type, shown, c.value), ValueText(c.value)) << ToUtf8(shown);
        EXPECT_EQ(Outcome(c.type, shown), c.elsewhere) << ToUtf8(shown);
    }
    Use(u"M/d/yyyy", u"h:mm:ss tt", u'.');
    EXPECT_EQ(Outcome(T::Time, u"10:00:01 AM", CellValue::OfDateTime({0, 0, 0, 10, 0, 0, 500})),
              "0000-00-00 10:00:01.000");
}

TEST_F(FieldInput, ColumnsOfNoFixedKindKeepTheOriginalKind) {
    platform_.formats.DecimalSeparator = u',';
    struct Kept {
        CellValue original;
        std::u16string_view typed;
        const char* expected;
    };
    const Kept cases[] = {
        {CellValue::OfInteger(42), u"43", "int 43"},
        {CellValue::OfInteger(42), u" -3000000000 ", "int -3000000000"},
        {CellValue::OfInteger(42), u"4,5", "text '4,5'"},
        {CellValue::OfInteger(42), u"", "text ''"},
        {CellValue::OfReal(2.5), u"3", "real 3"},
        {CellValue::OfReal(2.5), u"-1,5E3", "real -1500"},
        {CellValue::OfReal(2.5), u"1.5", "text '1.5'"},
        {CellValue::OfText(u"a"), u"43", "text '43'"},
        {CellValue::Null(), u"43", "text '43'"},
        {CellValue::OfBytes("AB"), u"43", "text '43'"},
    };
    for (const Kept& c : cases)
        EXPECT_EQ(Outcome(T::Variant, c.typed, c.original), c.expected) << ToUtf8(c.typed);
}

TEST_F(FieldInput, TextWithNulOrUnpairedSurrogateIsRefusedForEveryKind) {
    using namespace std::string_view_literals;
    const char* nul = "! Field 'Qty' cannot hold a NUL character";
    const char* half = "! Field 'Qty' cannot hold an unpaired surrogate (half of a UTF-16 "
                       "character pair)";
    const Case cases[] = {
        {T::WideString, u"a\0b"sv, nul},
        {T::WideMemo, u"\0"sv, nul},
        {T::Integer, u"4\0"sv, nul},
        {T::DateTime, u"3/5/2024\0"sv, nul},
        {T::Variant, u"x\0"sv, nul},
        {T::WideString, u"a\xD83D", half},
        {T::WideString, u"\xDE00z", half},
        {T::WideMemo, u"\xD83D\xD83D\xDE00", half},
        {T::Variant, u"\xDC00", half},
        {T::Guid, u"{\xD800}", half},
        {T::WideString, u"\xD83D\xDE00", "text '\xF0\x9F\x98\x80'"},
    };
    Check(cases);
    // Bytes in a column of no fixed kind show as such units; shown unchanged, they stay bytes.
    const CellValue bytes = CellValue::OfBytes("\0\0A\xD8"sv);
    EXPECT_EQ(Outcome(T::Variant, FieldValueText(T::Variant, bytes, formats_), bytes), "bytes");
}

TEST_F(FieldInput, EmptyTextIsNullExceptForText) {
    const Case cases[] = {
        {T::Integer, u"", "NULL"},
        {T::Float, u"  ", "NULL"},
        {T::Decimal, u"", "NULL"},
        {T::Boolean, u"", "NULL"},
        {T::Date, u"", "NULL"},
        {T::Time, u"", "NULL"},
        {T::DateTime, u" ", "NULL"},
        {T::Guid, u"", "NULL"},
        {T::String, u"", "text ''"},
        {T::WideMemo, u"", "text ''"},
        {T::Variant, u"", "text ''"},
        {T::String, u"  x ", "text '  x '"},
        {T::Guid, u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}",
         "text '{6F9619FF-8B86-D011-B42D-00C04FC964FF}'"},
    };
    Check(cases);
}

TEST_F(FieldInput, EditorFiltersCharactersAndLimitsText) {
    platform_.formats.DecimalSeparator = u',';
    struct Filter {
        TFieldType type;
        const char16_t* accepted;
        const char16_t* refused;
    };
    const Filter filters[] = {
        {T::Integer, u"0123456789+-\b\x16", u".,eEa "},
        {T::Smallint, u"7-", u"e"},
        {T::Largeint, u"9+", u","},
        {T::Float, u"0+-eE,\b", u". a"},
        {T::Decimal, u"5-E,", u".x"},
        {T::String, u"a.,e 9\u05D0", u""},
        {T::Date, u"/-.3 ", u""},
        {T::Boolean, u"Tf", u""},
    };
    for (const Filter& f : filters) {
        for (const char16_t* c = f.accepted; *c; ++c)
            EXPECT_TRUE(FieldAcceptsChar(f.type, *c, platform_.formats))
                << int(f.type) << " '" << char(*c) << "'";
        for (const char16_t* c = f.refused; *c; ++c)
            EXPECT_FALSE(FieldAcceptsChar(f.type, *c, platform_.formats))
                << int(f.type) << " '" << char(*c) << "'";
    }

    EXPECT_EQ(FieldInputLimit(T::String, 20), 20);
    EXPECT_EQ(FieldInputLimit(T::WideString, 1), 1);
    EXPECT_EQ(FieldInputLimit(T::String, 0), 0);
    EXPECT_EQ(FieldInputLimit(T::WideString, -1), 0);
    EXPECT_EQ(FieldInputLimit(T::Memo, 2147483647), 0);
    EXPECT_EQ(FieldInputLimit(T::Integer, 4), 0);
    EXPECT_EQ(FieldInputLimit(T::Decimal, 18), 0);
}

} // namespace

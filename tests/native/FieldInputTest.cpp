#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <string>

#include "base/Exception.h"
#include "base/Runtime.h"
#include "base/Text.h"
#include "data/FieldInput.h"

namespace {

using T = TFieldType;

struct Case {
    TFieldType type;
    std::u16string_view typed;
    const char* expected; // as Outcome writes it
};

// What typed text gives, in one line: "NULL", "int 5", "real 2.5", "dec 12.50", "text 'a'",
// "2024-03-05 13:04:05.000", or "! " and the error's message.
std::string Outcome(TFieldType type, std::u16string_view typed) {
    std::u16string storage;
    CellValue value;
    try {
        value = ParseFieldText(type, u"Qty", typed, storage);
    } catch (const Exception& e) {
        return "! " + ToUtf8(e.Message());
    }
    if ((value.tag == CellValue::Tag::Text || value.tag == CellValue::Tag::Decimal) &&
        value.text.data() != storage.data())
        return "text outside storage";
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

class FieldInput : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = FormatSettings;
        Use(u"M/d/yyyy", u"h:mm:ss tt", u'.');
    }
    void TearDown() override { FormatSettings = saved_; }

    static void Use(std::u16string_view date, std::u16string_view time, char16_t separator) {
        FormatSettings.ShortDateFormat = date;
        FormatSettings.LongTimeFormat = time;
        FormatSettings.DecimalSeparator = separator;
    }

    template <std::size_t N> static void Check(const Case (&cases)[N]) {
        for (const Case& c : cases)
            EXPECT_EQ(Outcome(c.type, c.typed), c.expected) << "typed '" << ToUtf8(c.typed) << "'";
    }

private:
    TFormatSettings saved_;
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
        {T::Decimal, u"12.50", "dec 12.50"},
        {T::Decimal, u"-0.0010", "dec -0.0010"},
        {T::Decimal, u"+007.5", "dec 7.5"},
        {T::Decimal, u"1E+3", "dec 1000"},
        {T::Decimal, u"12345678901234567890.123456789", "dec 12345678901234567890.123456789"},
        {T::Decimal, u"1,5", "! '1,5' is not a valid floating point value for field 'Qty'"},
        {T::Decimal, u"1.2.3", "! '1.2.3' is not a valid floating point value for field 'Qty'"},
    };
    Check(point);

    FormatSettings.DecimalSeparator = u',';
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
        {T::DateTime, u"10:30", "! '10:30' is not a valid date and time"},
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
    FormatSettings.DecimalSeparator = u',';
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
            EXPECT_TRUE(FieldAcceptsChar(f.type, *c)) << int(f.type) << " '" << char(*c) << "'";
        for (const char16_t* c = f.refused; *c; ++c)
            EXPECT_FALSE(FieldAcceptsChar(f.type, *c)) << int(f.type) << " '" << char(*c) << "'";
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

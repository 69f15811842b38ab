#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "base/Text.h"
#include "data/FieldText.h"
#include "platform/FakePlatform.h"

namespace {

using namespace std::string_view_literals;
using T = TFieldType;

struct Case {
    TFieldType type;
    CellValue value;
    std::u16string_view expected;
};

// The patterns Windows reports for an English (United States) user, which the fake starts
// with.
class FieldText : public ::testing::Test {
protected:
    std::u16string Text(TFieldType type, const CellValue& value) const {
        return FieldValueText(type, value, formats_);
    }

    void Check(const Case* begin, const Case* end) const {
        for (const Case* c = begin; c != end; ++c)
            EXPECT_EQ(ToUtf8(Text(c->type, c->value)), ToUtf8(c->expected))
                << "case " << (c - begin) << ", expected " << ToUtf8(c->expected);
    }

    FakePlatform platform_;
    ValueFormats formats_{platform_};
};

CellValue Int(std::int64_t v) {
    return CellValue::OfInteger(v);
}
CellValue Real(double v) {
    return CellValue::OfReal(v);
}
CellValue At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
             int millisecond = 0) {
    return CellValue::OfDateTime({year, month, day, hour, minute, second, millisecond});
}

TEST_F(FieldText, IntegersBooleansTextAndNull) {
    const Case cases[] = {
        {T::Integer, CellValue::Null(), u""},
        {T::String, CellValue::Null(), u""},
        {T::DateTime, CellValue::Null(), u""},
        {T::Integer, Int(42), u"42"},
        {T::Smallint, Int(-7), u"-7"},
        {T::Largeint, Int(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808"},
        {T::Largeint, Int(std::numeric_limits<std::int64_t>::max()), u"9223372036854775807"},
        {T::Boolean, Int(1), u"True"},
        {T::Boolean, Int(0), u"False"},
        {T::Boolean, Int(-1), u"True"},
        {T::String, CellValue::OfText(u"abc"), u"abc"},
        {T::WideString, CellValue::OfText(u"\u05E9\u05DC\u05D5\u05DD"),
         u"\u05E9\u05DC\u05D5\u05DD"},
        {T::Memo, CellValue::OfText(u"line 1\r\nline 2"), u"line 1\r\nline 2"},
        {T::WideMemo, CellValue::OfText(u""), u""},
        {T::Guid, CellValue::OfText(u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
         u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}"},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FieldText, FloatsHaveFifteenSignificantDigitsInGeneralForm) {
    const Case cases[] = {
        {T::Float, Real(0.1 + 0.2), u"0.3"},
        {T::Float, Real(1.0 / 3), u"0.333333333333333"},
        {T::Float, Real(-2.0 / 3), u"-0.666666666666667"},
        {T::Float, Real(123456789012345678.0), u"1.23456789012346E17"},
        {T::Float, Real(2.5), u"2.5"},
        {T::Float, Real(-3.75), u"-3.75"},
        {T::Float, Real(0.0625), u"0.0625"},
        {T::Float, Real(0.0001), u"0.0001"},
        {T::Float, Real(12.3), u"12.3"},
        {T::Float, Real(1234567.8901), u"1234567.8901"},
        {T::Float, Real(-98765432109876.5), u"-98765432109876.5"},
        {T::Float, Real(100), u"100"},
        {T::Float, Real(0), u"0"},
        {T::Float, Real(-0.0), u"0"},
        // Fifteen digits before the point still print in full; rounding up to sixteen does not.
        {T::Float, Real(999999999999999.0), u"999999999999999"},
        {T::Float, Real(123456789012345.6), u"123456789012346"},
        {T::Float, Real(1e15), u"1E15"},
        {T::Float, Real(9999999999999999.0), u"1E16"},
        {T::Float, Real(1.5e20), u"1.5E20"},
        // 0.00001 is the smallest magnitude in fixed notation.
        {T::Float, Real(0.00001), u"0.00001"},
        {T::Float, Real(0.000012345), u"0.000012345"},
        {T::Float, Real(0.0000099999), u"9.9999E-6"},
        {T::Float, Real(1e-7), u"1E-7"},
        {T::Float, Real(-2.5e-10), u"-2.5E-10"},
        {T::Float, Real(std::numeric_limits<double>::max()), u"1.79769313486232E308"},
        {T::Float, Real(std::numeric_limits<double>::denorm_min()), u"4.94065645841247E-324"},
        {T::Float, Real(INFINITY), u"INF"},
        {T::Float, Real(-INFINITY), u"-INF"},
        {T::Float, Real(NAN), u"NAN"},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FieldText, DecimalsLoseTrailingFractionZeros) {
    const Case cases[] = {
        {T::Decimal, CellValue::OfDecimal(u"-123.4500"), u"-123.45"},
        {T::Decimal, CellValue::OfDecimal(u"10.000"), u"10"},
        {T::Decimal, CellValue::OfDecimal(u"1200"), u"1200"},
        {T::Decimal, CellValue::OfDecimal(u"0.0010"), u"0.001"},
        {T::Decimal, CellValue::OfDecimal(u"12345678901234567890.123456789"),
         u"12345678901234567890.123456789"},
        {T::Decimal, CellValue::OfDecimal(u".5"), u"0.5"},
        {T::Decimal, CellValue::OfDecimal(u"-0.00"), u"0"},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FieldText, UserDecimalSeparatorTakesEffect) {
    platform_.formats.DecimalSeparator = u',';
    const Case cases[] = {
        {T::Float, Real(2.5), u"2,5"},
        {T::Float, Real(0.00001), u"0,00001"},
        {T::Float, Real(1.5e20), u"1,5E20"},
        {T::Float, Real(1000), u"1000"},
        {T::Decimal, CellValue::OfDecimal(u"-123.4500"), u"-123,45"},
        {T::Decimal, CellValue::OfDecimal(u"7.000"), u"7"},
        {T::Integer, Int(1000), u"1000"},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FieldText, DatesAndTimesFollowTheUserPatterns) {
    const Case cases[] = {
        {T::Date, At(2024, 3, 5), u"3/5/2024"},
        {T::Date, At(2024, 3, 5, 13, 4, 5), u"3/5/2024"},
        {T::Time, At(0, 0, 0, 13, 4, 5), u"1:04:05 PM"},
        {T::Time, At(0, 0, 0, 0, 0, 0), u"12:00:00 AM"},
        {T::DateTime, At(2024, 12, 31, 23, 59, 59), u"12/31/2024 11:59:59 PM"},
        // Midnight shows the date alone; a millisecond later it does not.
        {T::DateTime, At(2024, 3, 5), u"3/5/2024"},
        {T::DateTime, At(2024, 3, 5, 0, 0, 0, 1), u"3/5/2024 12:00:00 AM"},
        {T::DateTime, At(0, 0, 0, 9, 30, 0), u"9:30:00 AM"},
        {T::Variant, At(2024, 3, 5, 9, 30, 0), u"3/5/2024 9:30:00 AM"},
    };
    Check(std::begin(cases), std::end(cases));

    platform_.formats.ShortDateFormat = u"dd.MM.yy";
    platform_.formats.LongTimeFormat = u"HH:mm 'h'";
    EXPECT_EQ(ToUtf8(Text(T::DateTime, At(2024, 3, 5, 9, 7, 0))), "05.03.24 09:07 h");
    platform_.formats.ShortDateFormat = u"dddd, MMMM d, yyyy '('ddd MMM')'";
    EXPECT_EQ(ToUtf8(Text(T::Date, At(2024, 3, 5))), "Tuesday, March 5, 2024 (Tue Mar)");
    EXPECT_EQ(ToUtf8(Text(T::Date, At(2000, 1, 1))), "Saturday, January 1, 2000 (Sat Jan)");
}

TEST_F(FieldText, BytesPairIntoUnitsLongBytesAreEightBitText) {
    const Case cases[] = {
        {T::Bytes, CellValue::OfBytes("AB"sv), u"\u4241"},
        {T::VarBytes, CellValue::OfBytes("\xD0\x05\x01"sv), u"\u05D0\u0001"},
        {T::VarBytes, CellValue::OfBytes("\x00\xFF"sv), u"\uFF00"},
        {T::Bytes, CellValue::OfBytes(""sv), u""},
        {T::String, CellValue::OfBytes("hi"sv), u"\u6968"},
        // Latin-1 on the host and code page 1252 under Wine agree on these.
        {T::Blob, CellValue::OfBytes("caf\xE9\0!"sv), u"caf\u00E9\0!"sv},
    };
    Check(std::begin(cases), std::end(cases));
}

TEST_F(FieldText, ValuesOfAnotherKindShowByTheirOwnTag) {
    const Case cases[] = {
        {T::String, Int(42), u"42"},
        {T::Float, Int(3), u"3"},
        {T::Integer, Real(2.5), u"2.5"},
        {T::Boolean, Real(1), u"1"},
        {T::Integer, CellValue::OfText(u"abc"), u"abc"},
        {T::Boolean, CellValue::OfText(u"yes"), u"yes"},
        {T::Float, CellValue::OfDecimal(u"1.50"), u"1.5"},
        {T::Integer, At(2024, 3, 5, 13, 4, 5), u"3/5/2024 1:04:05 PM"},
    };
    Check(std::begin(cases), std::end(cases));
}

} // namespace

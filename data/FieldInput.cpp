#include "data/FieldInput.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "base/Exception.h"
#include "base/Runtime.h"
#include "base/Text.h"
#include "data/DecimalText.h"

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

[[noreturn]] void Refuse(std::u16string_view text, std::u16string_view what,
                         std::u16string_view fieldName) {
    std::u16string message = u"'";
    message += text;
    message += u"' is not a valid ";
    message += what;
    message += u" for field '";
    message += fieldName;
    message += u"'";
    throw Exception(std::move(message));
}

// "[sign]digits[<separator>digits][e[sign]digits]", with a digit somewhere before the exponent;
// written into `ascii` with "." for the separator and without a "+" sign, as from_chars wants.
bool ReadNumberText(std::u16string_view text, char16_t separator, bool allowFraction,
                    std::string& ascii) {
    ascii.clear();
    std::size_t pos = 0;
    auto sign = [&] {
        if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
            if (text[pos] == u'-')
                ascii += '-';
            ++pos;
        }
    };
    auto digits = [&] {
        std::size_t start = pos;
        for (; pos < text.size() && IsDigit(text[pos]); ++pos)
            ascii += char(text[pos]);
        return pos - start;
    };
    sign();
    std::size_t mantissa = digits();
    if (allowFraction && pos < text.size() && text[pos] == separator) {
        ascii += '.';
        ++pos;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (allowFraction && pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        ascii += 'e';
        ++pos;
        sign();
        if (digits() == 0)
            return false;
    }
    return pos == text.size();
}

CellValue ParseInteger(TFieldType type, std::u16string_view fieldName, std::u16string_view text) {
    std::int64_t min = std::numeric_limits<std::int64_t>::min();
    std::int64_t max = std::numeric_limits<std::int64_t>::max();
    if (type == TFieldType::Smallint) {
        min = std::numeric_limits<std::int16_t>::min();
        max = std::numeric_limits<std::int16_t>::max();
    } else if (type == TFieldType::Integer) {
        min = std::numeric_limits<std::int32_t>::min();
        max = std::numeric_limits<std::int32_t>::max();
    }
    std::string ascii;
    std::int64_t value = 0;
    if (ReadNumberText(Trimmed(text), u'.', false, ascii)) {
        auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
        if (error == std::errc() && end == ascii.data() + ascii.size() && value >= min &&
            value <= max)
            return CellValue::OfInteger(value);
    }
    Refuse(text, u"integer value", fieldName);
}

CellValue ParseFloat(std::u16string_view fieldName, std::u16string_view text) {
    std::string ascii;
    double value = 0;
    if (ReadNumberText(Trimmed(text), FormatSettings.DecimalSeparator, true, ascii)) {
        auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
        if (error == std::errc() && end == ascii.data() + ascii.size())
            return CellValue::OfReal(value);
    }
    Refuse(text, u"floating point value", fieldName);
}

CellValue ParseDecimal(std::u16string_view fieldName, std::u16string_view text,
                       std::u16string& storage) {
    std::string ascii;
    // The check above keeps out a "," that is not the user's separator, which
    // NormalizeDecimalText would otherwise take for one.
    if (ReadNumberText(Trimmed(text), FormatSettings.DecimalSeparator, true, ascii) &&
        NormalizeDecimalText(std::u16string(ascii.begin(), ascii.end()), storage))
        return CellValue::OfDecimal(storage);
    Refuse(text, u"floating point value", fieldName);
}

CellValue ParseBoolean(std::u16string_view fieldName, std::u16string_view text) {
    std::u16string_view word = Trimmed(text);
    if (StartsWithText(u"True", word))
        return CellValue::OfInteger(1);
    if (StartsWithText(u"False", word))
        return CellValue::OfInteger(0);
    Refuse(text, u"boolean value", fieldName);
}

enum class DatePart { Day, Month, Year };
using DateOrder = std::array<DatePart, 3>;

// The order of the first "d", "M" and "y" in the pattern, outside quoted literals.
DateOrder PatternDateOrder(std::u16string_view pattern) {
    std::size_t at[3] = {std::u16string_view::npos, std::u16string_view::npos,
                         std::u16string_view::npos};
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char16_t c = pattern[i];
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && (c == u'd' || c == u'M' || c == u'y')) {
            std::size_t& first = at[c == u'd' ? 0 : c == u'M' ? 1 : 2];
            if (first == std::u16string_view::npos)
                first = i;
        }
    }
    for (std::size_t position : at)
        if (position == std::u16string_view::npos)
            return {DatePart::Month, DatePart::Day, DatePart::Year};
    DateOrder order = {DatePart::Day, DatePart::Month, DatePart::Year};
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (at[int(order[j])] < at[int(order[i])])
                std::swap(order[i], order[j]);
    return order;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : days[month - 1];
}

// Up to `maxDigits` digits at `pos`; -1 when there are none or more.
int ReadDigits(std::u16string_view text, std::size_t& pos, std::size_t maxDigits,
               std::size_t* count = nullptr) {
    std::size_t start = pos;
    int value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos)
        value = pos - start < maxDigits ? value * 10 + (text[pos] - u'0') : -1;
    if (count)
        *count = pos - start;
    return pos == start ? -1 : value;
}

// Three numbers with any separators between them but letters, in the short date pattern's
// order. A first number of three or four digits is a year and the order is year, month, day,
// so that "2024-03-05" reads the same for every user.
bool ReadDate(std::u16string_view text, std::size_t& pos, TDateTime& date) {
    int values[3];
    std::size_t digits[3];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            std::size_t start = pos;
            while (pos < text.size() && !IsDigit(text[pos]) && !IsAsciiLetter(text[pos]))
                ++pos;
            if (pos == start)
                return false;
        }
        if ((values[i] = ReadDigits(text, pos, 4, &digits[i])) < 0)
            return false;
    }
    DateOrder order = digits[0] >= 3 ? DateOrder{DatePart::Year, DatePart::Month, DatePart::Day}
                                     : PatternDateOrder(FormatSettings.ShortDateFormat);
    date = TDateTime();
    for (int i = 0; i < 3; ++i) {
        switch (order[i]) {
        case DatePart::Day:
            date.day = values[i];
            break;
        case DatePart::Month:
            date.month = values[i];
            break;
        case DatePart::Year:
            date.year = values[i];
            if (digits[i] <= 2)
                date.year += date.year < 50 ? 2000 : 1900;
            break;
        }
    }
    return date.year >= 1 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

// The character after the hours in the long time pattern ("." in Finland), if not ":".
char16_t PatternTimeSeparator(std::u16string_view pattern) {
    std::size_t hours = pattern.find_first_of(u"hH");
    if (hours == std::u16string_view::npos)
        return u':';
    std::size_t after = pattern.find_first_not_of(pattern[hours], hours);
    if (after == std::u16string_view::npos || IsAsciiLetter(pattern[after]) ||
        IsBlank(pattern[after]) || pattern[after] == u'\'')
        return u':';
    return pattern[after];
}

// "AM", "A", "PM" or "P" at `pos`, in any case; sets `pm`.
bool ReadDesignator(std::u16string_view text, std::size_t& pos, bool& pm) {
    std::size_t start = pos;
    while (pos < text.size() && IsAsciiLetter(text[pos]))
        ++pos;
    std::u16string_view word = text.substr(start, pos - start);
    if (SameText(word, u"AM") || SameText(word, u"A")) {
        pm = false;
        return true;
    }
    if (SameText(word, u"PM") || SameText(word, u"P")) {
        pm = true;
        return true;
    }
    return false;
}

// "h[:mm[:ss[.zzz]]]" with a day half before or after it, and nothing else.
bool ReadTime(std::u16string_view text, TDateTime& time) {
    text = Trimmed(text);
    const char16_t patternSeparator = PatternTimeSeparator(FormatSettings.LongTimeFormat);
    auto isSeparator = [&](std::size_t pos) {
        return pos < text.size() && (text[pos] == u':' || text[pos] == patternSeparator);
    };
    std::size_t pos = 0;
    bool designated = false, pm = false;
    auto designator = [&] {
        if (pos >= text.size() || !IsAsciiLetter(text[pos]))
            return true;
        if (designated || !ReadDesignator(text, pos, pm))
            return false;
        designated = true;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        return true;
    };
    if (!designator())
        return false;
    time.hour = ReadDigits(text, pos, 2);
    if (time.hour < 0)
        return false;
    if (isSeparator(pos)) {
        time.minute = ReadDigits(text, ++pos, 2);
        if (time.minute < 0 || time.minute > 59)
            return false;
        if (isSeparator(pos)) {
            time.second = ReadDigits(text, ++pos, 2);
            if (time.second < 0 || time.second > 59)
                return false;
            if (pos < text.size() && text[pos] == u'.') {
                std::size_t count = 0;
                time.millisecond = ReadDigits(text, ++pos, 3, &count);
                if (time.millisecond < 0)
                    return false;
                for (; count < 3; ++count)
                    time.millisecond *= 10;
            }
        }
    }
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (!designator() || pos != text.size())
        return false;
    if (designated) {
        if (time.hour < 1 || time.hour > 12)
            return false;
        time.hour = time.hour % 12 + (pm ? 12 : 0);
    }
    return time.hour <= 23;
}

CellValue ParseDate(std::u16string_view text) {
    std::u16string_view trimmed = Trimmed(text);
    std::size_t pos = 0;
    TDateTime date;
    // Some patterns end in a period ("yyyy. MM. dd.").
    if (ReadDate(trimmed, pos, date) && trimmed.find_first_not_of(u'.', pos) == trimmed.npos)
        return CellValue::OfDateTime(date);
    throw Exception(u"'" + std::u16string(text) + u"' is not a valid date");
}

CellValue ParseTime(std::u16string_view text) {
    TDateTime time;
    if (ReadTime(text, time))
        return CellValue::OfDateTime(time);
    throw Exception(u"'" + std::u16string(text) + u"' is not a valid time");
}

CellValue ParseDateTime(std::u16string_view text) {
    std::u16string_view trimmed = Trimmed(text);
    std::size_t pos = 0;
    TDateTime value;
    if (ReadDate(trimmed, pos, value)) {
        std::size_t timeStart = trimmed.find_first_not_of(u". \t\r\n", pos);
        if (timeStart == trimmed.npos)
            return CellValue::OfDateTime(value);
        if (timeStart == pos && (trimmed[pos] == u'T' || trimmed[pos] == u't'))
            ++timeStart; // ISO's "2024-03-05T10:30"
        if (timeStart > pos && ReadTime(trimmed.substr(timeStart), value))
            return CellValue::OfDateTime(value);
    }
    throw Exception(u"'" + std::u16string(text) + u"' is not a valid date and time");
}

} // namespace

bool FieldAcceptsChar(TFieldType type, char16_t c) {
    if (c < u' ' || c == u'\x7F')
        return true;
    bool number = IsIntegerField(type);
    bool fraction = type == TFieldType::Float || type == TFieldType::Decimal;
    if (!number && !fraction)
        return true;
    if (IsDigit(c) || c == u'+' || c == u'-')
        return true;
    return fraction && (c == u'E' || c == u'e' || c == FormatSettings.DecimalSeparator);
}

int FieldInputLimit(TFieldType type, int size) {
    bool characters = type == TFieldType::String || type == TFieldType::WideString;
    return characters && size > 0 ? size : 0;
}

CellValue ParseFieldText(TFieldType type, std::u16string_view fieldName, std::u16string_view text,
                         std::u16string& storage) {
    switch (type) {
    case TFieldType::Smallint:
    case TFieldType::Integer:
    case TFieldType::Largeint:
    case TFieldType::Float:
    case TFieldType::Decimal:
    case TFieldType::Boolean:
    case TFieldType::Date:
    case TFieldType::Time:
    case TFieldType::DateTime:
    case TFieldType::Guid:
        if (Trimmed(text).empty())
            return CellValue::Null();
        break;
    default:
        break;
    }

    switch (type) {
    case TFieldType::Smallint:
    case TFieldType::Integer:
    case TFieldType::Largeint:
        return ParseInteger(type, fieldName, text);
    case TFieldType::Float:
        return ParseFloat(fieldName, text);
    case TFieldType::Decimal:
        return ParseDecimal(fieldName, text, storage);
    case TFieldType::Boolean:
        return ParseBoolean(fieldName, text);
    case TFieldType::Date:
        return ParseDate(text);
    case TFieldType::Time:
        return ParseTime(text);
    case TFieldType::DateTime:
        return ParseDateTime(text);
    default:
        // Character text, GUIDs, variants; memos and bytes too, though the grid edits neither.
        storage.assign(text);
        return CellValue::OfText(storage);
    }
}

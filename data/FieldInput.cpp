#include "data/FieldInput.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/DecimalText.h"
#include "data/FieldText.h"

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

// Text that a database would store cut short or as another character: psqlODBC ends text at a
// NUL, and a half of a surrogate pair has no UTF-8 form for the engines to keep.
void RefuseUnstorable(std::u16string_view text, std::u16string_view fieldName) {
    auto refuse = [&](std::u16string_view what) {
        throw Exception(u"Field '" + std::u16string(fieldName) + u"' cannot hold " +
                        std::u16string(what));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\0')
            refuse(u"a NUL character");
        bool high = c >= 0xD800 && c <= 0xDBFF;
        bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            ++i;
        else if (high || low)
            refuse(u"an unpaired surrogate (half of a UTF-16 character pair)");
    }
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

bool ReadInteger(std::u16string_view text, std::int64_t min, std::int64_t max,
                 std::int64_t& value) {
    std::string ascii;
    if (!ReadNumberText(Trimmed(text), u'.', false, ascii))
        return false;
    auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    return error == std::errc() && end == ascii.data() + ascii.size() && value >= min &&
           value <= max;
}

CellValue ParseInteger(const ColumnInfo& column, std::u16string_view fieldName,
                       std::u16string_view text) {
    std::int64_t min = std::numeric_limits<std::int64_t>::min();
    std::int64_t max = std::numeric_limits<std::int64_t>::max();
    if (!column.holds64BitIntegers && column.type == TFieldType::Smallint) {
        min = std::numeric_limits<std::int16_t>::min();
        max = std::numeric_limits<std::int16_t>::max();
    } else if (!column.holds64BitIntegers && column.type == TFieldType::Integer) {
        min = std::numeric_limits<std::int32_t>::min();
        max = std::numeric_limits<std::int32_t>::max();
    }
    std::int64_t value = 0;
    if (ReadInteger(text, min, max, value))
        return CellValue::OfInteger(value);
    Refuse(text, u"integer value", fieldName);
}

// The largest double shows rounded up to 15 digits, as 1.79769313486232E308, which is beyond
// it. No other double shows so, and whoever types it back means the largest one: text up to it
// reads as the largest double, so that the value can be typed as it shows. Text further out is
// refused rather than stored as infinity. `ascii` overflowed; scaled down by 10^300, it compares
// with the shown form scaled alike.
bool ReadsAsLargestDouble(const std::string& ascii, double& value) {
    std::size_t e = ascii.find('e');
    int exponent = 0;
    if (e != std::string::npos) {
        auto [end, error] =
            std::from_chars(ascii.data() + e + 1, ascii.data() + ascii.size(), exponent);
        if (error != std::errc() || end != ascii.data() + ascii.size())
            return false;
    }
    std::string scaled = ascii.substr(0, e) + "e" + std::to_string(exponent - 300);
    double magnitude = 0;
    auto [end, error] = std::from_chars(scaled.data(), scaled.data() + scaled.size(), magnitude);
    magnitude = std::fabs(magnitude);
    if (error != std::errc() || magnitude < 1 || magnitude > 1.79769313486232e8)
        return false;
    value = std::copysign(std::numeric_limits<double>::max(), ascii[0] == '-' ? -1.0 : 1.0);
    return true;
}

bool ReadFloat(std::u16string_view text, char16_t separator, double& value) {
    std::string ascii;
    if (!ReadNumberText(Trimmed(text), separator, true, ascii))
        return false;
    auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range)
        return ReadsAsLargestDouble(ascii, value);
    return error == std::errc() && end == ascii.data() + ascii.size();
}

CellValue ParseFloat(std::u16string_view fieldName, std::u16string_view text, char16_t separator) {
    double value = 0;
    if (ReadFloat(text, separator, value))
        return CellValue::OfReal(value);
    Refuse(text, u"floating point value", fieldName);
}

CellValue ParseDecimal(std::u16string_view fieldName, std::u16string_view text, char16_t separator,
                       std::u16string& storage) {
    std::string ascii;
    // The check above keeps out a "," that is not the user's separator, which
    // NormalizeDecimalText would otherwise take for one.
    if (ReadNumberText(Trimmed(text), separator, true, ascii) &&
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

// How many times the pattern's letter at `i` repeats from there: "yyyy" is one field.
std::size_t RunLength(std::u16string_view pattern, std::size_t i) {
    std::size_t end = pattern.find_first_not_of(pattern[i], i);
    return (end == std::u16string_view::npos ? pattern.size() : end) - i;
}

enum class DatePart { Day, Month, Year };
using DateOrder = std::array<DatePart, 3>;

// The order of the first "d", "M" and "y" in the pattern, outside quoted literals; "ddd" and
// longer name the day of the week, not the day.
DateOrder PatternDateOrder(std::u16string_view pattern) {
    std::size_t at[3] = {std::u16string_view::npos, std::u16string_view::npos,
                         std::u16string_view::npos};
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char16_t c = pattern[i];
        std::size_t run = RunLength(pattern, i);
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && (c == u'M' || c == u'y' || (c == u'd' && run <= 2))) {
            std::size_t& first = at[c == u'd' ? 0 : c == u'M' ? 1 : 2];
            if (first == std::u16string_view::npos)
                first = i;
        }
        if (c != u'\'')
            i += run - 1;
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

// Three numbers with any separators between them but letters and ":" (which is a time's), in
// the short date pattern's order. A first number of three or four digits is a year and the order is
// year, month, day, so that "2024-03-05" reads the same for every user.
bool ReadDate(std::u16string_view text, std::size_t& pos, const TFormatSettings& settings,
              TDateTime& date) {
    int values[3];
    std::size_t digits[3];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            std::size_t start = pos;
            while (pos < text.size() && !IsDigit(text[pos]) && !IsAsciiLetter(text[pos]) &&
                   text[pos] != u':')
                ++pos;
            if (pos == start)
                return false;
        }
        if ((values[i] = ReadDigits(text, pos, 4, &digits[i])) < 0)
            return false;
    }
    DateOrder order = digits[0] >= 3 ? DateOrder{DatePart::Year, DatePart::Month, DatePart::Day}
                                     : PatternDateOrder(settings.ShortDateFormat);
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
bool ReadTime(std::u16string_view text, const TFormatSettings& settings, TDateTime& time) {
    text = Trimmed(text);
    const char16_t patternSeparator = PatternTimeSeparator(settings.LongTimeFormat);
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

// The unit count of the longest of `candidates` that `text` has at `pos`; 0 for none.
std::size_t LongestAt(std::u16string_view text, std::size_t pos,
                      const std::vector<std::u16string>& candidates, int& which) {
    std::size_t best = 0;
    int index = 0;
    for (const std::u16string& candidate : candidates) {
        if (candidate.size() > best && text.substr(pos, candidate.size()) == candidate) {
            best = candidate.size();
            which = index;
        }
        ++index;
    }
    return best;
}

// A date (`isDate`) or time exactly as the platform renders it by `pattern`. The
// pattern's fields are read in turn, names and day halves by comparing with the platform's own
// renderings, and the value found must render back to the very text: what the pattern pads,
// abbreviates or leaves out is never guessed.
bool ReadShownForm(std::u16string_view text, const std::u16string& pattern, bool isDate,
                   const Platform& platform, TDateTime& value) {
    TDateTime t;
    int year = -1, month = -1, day = -1, hour = -1, half = -1;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < pattern.size();) {
        char16_t c = pattern[i];
        if (c == u'\'') {
            for (++i; i < pattern.size(); ++i) {
                if (pattern[i] == u'\'') {
                    if (i + 1 == pattern.size() || pattern[i + 1] != u'\'')
                        break;
                    ++i; // '' is one apostrophe
                }
                if (pos >= text.size() || text[pos++] != pattern[i])
                    return false;
            }
            ++i;
            continue;
        }
        std::u16string_view fields = isDate ? u"dMy" : u"hHmst";
        if (fields.find(c) == std::u16string_view::npos) {
            if (pos >= text.size() || text[pos++] != c)
                return false;
            ++i;
            continue;
        }
        std::size_t run = RunLength(pattern, i);
        std::u16string token = pattern.substr(i, run);
        i += run;
        if (c != u't' && !((c == u'M' || c == u'd') && run >= 3)) {
            int number = ReadDigits(text, pos, c == u'y' && run >= 3 ? 4 : 2);
            if (number < 0)
                return false;
            switch (c) {
            case u'd':
                day = number;
                break;
            case u'M':
                month = number;
                break;
            case u'y':
                year = run >= 3 ? number : number + (number < 50 ? 2000 : 1900);
                break;
            case u'h':
            case u'H':
                hour = number;
                break;
            case u'm':
                t.minute = number;
                break;
            case u's':
                t.second = number;
                break;
            }
            continue;
        }
        // Month names, day names (1 January 2001 was a Monday; the final check confirms the
        // day) or day halves, which some locales leave empty.
        std::vector<std::u16string> names;
        if (c == u't') {
            names = {platform.FormatTime(TDateTime{0, 0, 0, 0}, token),
                     platform.FormatTime(TDateTime{0, 0, 0, 12}, token)};
            if (names[0].empty() && names[1].empty())
                continue;
        } else {
            for (int k = 1; k <= (c == u'M' ? 12 : 7); ++k)
                names.push_back(platform.FormatDate(
                    c == u'M' ? TDateTime{2001, k, 1} : TDateTime{2001, 1, k}, token));
        }
        int which = 0;
        std::size_t length = LongestAt(text, pos, names, which);
        if (length == 0)
            return false;
        if (c == u'M')
            month = which + 1;
        else if (c == u't')
            half = which;
        pos += length;
    }
    if (pos != text.size())
        return false;
    if (isDate) {
        if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
            return false;
        t.year = year, t.month = month, t.day = day;
    } else {
        if (hour < 0)
            return false;
        t.hour = half >= 0 ? hour % 12 + 12 * half : hour;
        if (t.hour > 23 || t.minute > 59 || t.second > 59)
            return false;
    }
    if ((isDate ? platform.FormatDate(t, pattern) : platform.FormatTime(t, pattern)) != text)
        return false;
    value = t;
    return true;
}

bool ReadShownDate(std::u16string_view text, const ValueFormats& formats, TDateTime& value) {
    return ReadShownForm(text, formats.settings.ShortDateFormat, true, formats.platform, value);
}

bool ReadShownTime(std::u16string_view text, const ValueFormats& formats, TDateTime& value) {
    return ReadShownForm(text, formats.settings.LongTimeFormat, false, formats.platform, value);
}

CellValue ParseDate(std::u16string_view text, const ValueFormats& formats) {
    std::u16string_view trimmed = Trimmed(text);
    std::size_t pos = 0;
    TDateTime date;
    // Some patterns end in a period ("yyyy. MM. dd.").
    if (ReadShownDate(trimmed, formats, date) ||
        (ReadDate(trimmed, pos, formats.settings, date) &&
         trimmed.find_first_not_of(u'.', pos) == trimmed.npos))
        return CellValue::OfDateTime(date);
    throw Exception(u"'" + std::u16string(text) + u"' is not a valid date");
}

CellValue ParseTime(std::u16string_view text, const ValueFormats& formats) {
    TDateTime time;
    if (ReadShownTime(Trimmed(text), formats, time) || ReadTime(text, formats.settings, time))
        return CellValue::OfDateTime(time);
    throw Exception(u"'" + std::u16string(text) + u"' is not a valid time");
}

// A date-time shows as its date, a blank and its time; a time of day (year 0) as its time alone.
bool ReadShownDateTime(std::u16string_view text, const ValueFormats& formats, TDateTime& value) {
    for (std::size_t blank = text.find(u' '); blank != text.npos;
         blank = text.find(u' ', blank + 1)) {
        TDateTime date, time;
        if (ReadShownDate(text.substr(0, blank), formats, date) &&
            ReadShownTime(text.substr(blank + 1), formats, time)) {
            value = date;
            value.hour = time.hour, value.minute = time.minute, value.second = time.second;
            return true;
        }
    }
    return ReadShownDate(text, formats, value) || ReadShownTime(text, formats, value);
}

CellValue ParseDateTime(std::u16string_view text, const ValueFormats& formats) {
    std::u16string_view trimmed = Trimmed(text);
    std::size_t pos = 0;
    TDateTime value;
    if (ReadShownDateTime(trimmed, formats, value))
        return CellValue::OfDateTime(value);
    if (ReadDate(trimmed, pos, formats.settings, value)) {
        std::size_t timeStart = trimmed.find_first_not_of(u". \t\r\n", pos);
        if (timeStart == trimmed.npos)
            return CellValue::OfDateTime(value);
        if (timeStart == pos && (trimmed[pos] == u'T' || trimmed[pos] == u't'))
            ++timeStart; // ISO's "2024-03-05T10:30"
        if (timeStart > pos && ReadTime(trimmed.substr(timeStart), formats.settings, value))
            return CellValue::OfDateTime(value);
    } else if (value = TDateTime(); ReadTime(trimmed, formats.settings, value)) {
        return CellValue::OfDateTime(value);
    }
    throw Exception(u"'" + std::u16string(text) + u"' is not a valid date and time");
}

// A column of no fixed kind keeps what the value it held was, where the text reads as that.
CellValue ParseVariant(std::u16string_view text, const CellValue& original, char16_t separator,
                       std::u16string& storage) {
    std::int64_t integer = 0;
    double real = 0;
    if (original.tag == CellValue::Tag::Integer &&
        ReadInteger(text, std::numeric_limits<std::int64_t>::min(),
                    std::numeric_limits<std::int64_t>::max(), integer))
        return CellValue::OfInteger(integer);
    if (original.tag == CellValue::Tag::Real && ReadFloat(text, separator, real))
        return CellValue::OfReal(real);
    storage.assign(text);
    return CellValue::OfText(storage);
}

} // namespace

bool FieldAcceptsChar(TFieldType type, char16_t c, const TFormatSettings& formats) {
    if (c < u' ' || c == u'\x7F')
        return true;
    bool number = IsIntegerField(type);
    bool fraction = type == TFieldType::Float || type == TFieldType::Decimal;
    if (!number && !fraction)
        return true;
    if (IsDigit(c) || c == u'+' || c == u'-')
        return true;
    return fraction && (c == u'E' || c == u'e' || c == formats.DecimalSeparator);
}

int FieldInputLimit(TFieldType type, int size) {
    bool characters = type == TFieldType::String || type == TFieldType::WideString;
    return characters && size > 0 ? size : 0;
}

CellValue ParseFieldText(const ColumnInfo& column, std::u16string_view fieldName,
                         std::u16string_view text, const CellValue& original,
                         const ValueFormats& formats, std::u16string& storage) {
    const TFieldType type = column.type;
    const char16_t separator = formats.settings.DecimalSeparator;
    if (original.tag != CellValue::Tag::Null && text == FieldValueText(type, original, formats))
        return original;
    RefuseUnstorable(text, fieldName);

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
        return ParseInteger(column, fieldName, text);
    case TFieldType::Float:
        return ParseFloat(fieldName, text, separator);
    case TFieldType::Decimal:
        return ParseDecimal(fieldName, text, separator, storage);
    case TFieldType::Boolean:
        return ParseBoolean(fieldName, text);
    case TFieldType::Date:
        return ParseDate(text, formats);
    case TFieldType::Time:
        return ParseTime(text, formats);
    case TFieldType::DateTime:
        return ParseDateTime(text, formats);
    case TFieldType::Variant:
        return ParseVariant(text, original, separator, storage);
    default:
        // Character text, GUIDs; memos and bytes too, though the grid edits neither.
        storage.assign(text);
        return CellValue::OfText(storage);
    }
}

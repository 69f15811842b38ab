#include "data/DateTimeText.h"

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Exactly `count` digits at `pos`, or -1.
int Digits(std::u16string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (!IsDigit(text[i]))
            return -1;
        value = value * 10 + (text[i] - u'0');
    }
    return value;
}

// "+HH[[:]MM[[:]SS]]" or "Z" at the start of `text`; the rest must be empty.
bool ParseOffset(std::u16string_view text, DateTimeFields& f) {
    if (text == u"Z") {
        f.hasOffset = true;
        return true;
    }
    if (text.size() < 3 || (text[0] != u'+' && text[0] != u'-'))
        return false;
    int parts[3] = {Digits(text, 1, 2), 0, 0};
    std::size_t pos = 3;
    for (int i = 1; i < 3 && pos < text.size(); ++i) {
        if (text[pos] == u':')
            ++pos;
        if ((parts[i] = Digits(text, pos, 2)) < 0)
            return false;
        pos += 2;
    }
    if (pos != text.size() || parts[0] < 0 || parts[0] > 15 || parts[1] > 59 || parts[2] > 59)
        return false;
    f.hasOffset = true;
    f.offsetSeconds = (parts[0] * 3600 + parts[1] * 60 + parts[2]) * (text[0] == u'-' ? -1 : 1);
    return true;
}

// "H:MM[:SS[.fraction]]" and what may follow it: an offset.
bool ParseTime(std::u16string_view text, DateTimeFields& f) {
    std::size_t colon = text.find(u':');
    if (colon < 1 || colon > 2)
        return false;
    f.hasTime = true;
    f.hour = Digits(text, 0, colon);
    f.minute = Digits(text, colon + 1, 2);
    std::size_t pos = colon + 3;
    if (pos < text.size() && text[pos] == u':') {
        f.second = Digits(text, pos + 1, 2);
        pos += 3;
        if (pos < text.size() && text[pos] == u'.') {
            std::uint32_t scale = 100000000;
            for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, scale /= 10) {
                if (++f.fractionDigits > 9)
                    return false;
                f.nanosecond += std::uint32_t(text[pos] - u'0') * scale;
            }
            if (f.fractionDigits == 0)
                return false;
        }
    }
    if (f.hour < 0 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59)
        return false;
    // Midnight at the end of a day is a time of its own; nothing lies beyond it.
    if (f.hour > 24 || (f.hour == 24 && (f.minute || f.second || f.nanosecond)))
        return false;
    if (pos < text.size() && text[pos] == u' ')
        ++pos;
    return pos == text.size() || ParseOffset(text.substr(pos), f);
}

void AppendNumber(std::u16string& text, long long value, int width) {
    char16_t digits[24];
    int count = 0;
    do {
        digits[count++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (; count < width; --width)
        text += u'0';
    while (count > 0)
        text += digits[--count];
}

} // namespace

bool ParseDateTimeFields(std::u16string_view text, DateTimeFields& f) {
    f = DateTimeFields();
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    std::size_t yearDigits = 0;
    while (yearDigits < text.size() && IsDigit(text[yearDigits]))
        ++yearDigits;
    if (yearDigits < 4 || yearDigits >= text.size() || text[yearDigits] != u'-')
        return ParseTime(text, f);
    if (yearDigits > 9)
        return false;
    for (std::size_t i = 0; i < yearDigits; ++i)
        f.year = f.year * 10 + (text[i] - u'0');
    if (text.size() >= 3 && text.substr(text.size() - 3) == u" BC") {
        f.beforeChrist = true;
        text.remove_suffix(3);
    }
    f.hasDate = true;
    f.month = Digits(text, yearDigits + 1, 2);
    f.day = Digits(text, yearDigits + 4, 2);
    if (f.year < 1 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 ||
        text.size() < yearDigits + 6 || text[yearDigits + 3] != u'-')
        return false;
    std::size_t end = yearDigits + 6;
    if (text.size() == end)
        return true;
    return (text[end] == u' ' || text[end] == u'T') && ParseTime(text.substr(end + 1), f);
}

void AppendDateTimeText(std::u16string& text, const DateTimeFields& f) {
    if (f.hasDate) {
        AppendNumber(text, f.year, 4);
        text += u'-';
        AppendNumber(text, f.month, 2);
        text += u'-';
        AppendNumber(text, f.day, 2);
    }
    if (f.hasDate && f.hasTime)
        text += u' ';
    if (f.hasTime) {
        AppendNumber(text, f.hour, 2);
        text += u':';
        AppendNumber(text, f.minute, 2);
        text += u':';
        AppendNumber(text, f.second, 2);
        int digits = f.fractionDigits;
        std::uint32_t fraction = f.nanosecond;
        if (digits == 0 && fraction != 0)
            for (digits = 9; fraction % 10 == 0; --digits)
                fraction /= 10;
        else
            for (int i = digits; i < 9; ++i)
                fraction /= 10;
        if (digits > 0) {
            text += u'.';
            AppendNumber(text, fraction, digits);
        }
        if (f.hasOffset) {
            int offset = f.offsetSeconds < 0 ? -f.offsetSeconds : f.offsetSeconds;
            text += f.offsetSeconds < 0 ? u'-' : u'+';
            AppendNumber(text, offset / 3600, 2);
            if (offset % 3600) {
                text += u':';
                AppendNumber(text, offset / 60 % 60, 2);
            }
            if (offset % 60) {
                text += u':';
                AppendNumber(text, offset % 60, 2);
            }
        }
    }
    if (f.beforeChrist)
        text += u" BC";
}

bool FieldsToDateTime(const DateTimeFields& f, TDateTime& value) {
    value = TDateTime();
    if (f.hasDate && (f.beforeChrist || f.year < 1 || f.year > 9999))
        return false;
    if (f.hour > 23)
        return false;
    if (f.hasDate) {
        value.year = int(f.year);
        value.month = f.month;
        value.day = f.day;
    }
    value.hour = f.hour;
    value.minute = f.minute;
    value.second = f.second;
    value.millisecond = int(f.nanosecond / 1000000);
    return true;
}

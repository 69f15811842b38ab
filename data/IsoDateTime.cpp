#include "data/IsoDateTime.h"

#include <cstdio>

#include "base/Text.h"

namespace {

int Digits(std::u16string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return -1;
        value = value * 10 + (text[i] - u'0');
    }
    return value;
}

bool ParseTime(std::u16string_view text, TDateTime& t) {
    std::size_t colon = text.find(u':');
    if (colon < 1 || colon > 2)
        return false;
    t.hour = Digits(text, 0, colon);
    t.minute = Digits(text, colon + 1, 2);
    if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59)
        return false;
    std::size_t pos = colon + 3;
    if (pos == text.size())
        return true;
    if (text[pos] != u':' || (t.second = Digits(text, pos + 1, 2)) < 0 || t.second > 59)
        return false;
    pos += 3;
    if (pos == text.size())
        return true;
    if (text[pos] != u'.')
        return false;
    int scale = 100;
    for (++pos; pos < text.size(); ++pos, scale /= 10) {
        if (text[pos] < u'0' || text[pos] > u'9')
            return false;
        t.millisecond += (text[pos] - u'0') * scale;
    }
    return true;
}

} // namespace

bool ParseIsoDateTime(std::u16string_view text, TDateTime& t) {
    t = TDateTime();
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    if (text.size() < 10 || text[4] != u'-')
        return ParseTime(text, t);
    t.year = Digits(text, 0, 4);
    t.month = Digits(text, 5, 2);
    t.day = Digits(text, 8, 2);
    if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || text[7] != u'-')
        return false;
    if (text.size() == 10)
        return true;
    return (text[10] == u' ' || text[10] == u'T') && ParseTime(text.substr(11), t);
}

void AppendIsoDateTimeText(std::u16string& out, const TDateTime& t, IsoParts parts) {
    if (t.year == 0 && parts == IsoParts::DateAndTime)
        parts = IsoParts::Time;
    char text[96];
    int length = 0;
    if (parts != IsoParts::Time)
        length += std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    if (parts == IsoParts::DateAndTime)
        text[length++] = ' ';
    if (parts != IsoParts::Date) {
        length += std::snprintf(text + length, sizeof text - length, "%02d:%02d:%02d", t.hour,
                                t.minute, t.second);
        if (t.millisecond)
            length += std::snprintf(text + length, sizeof text - length, ".%03d", t.millisecond);
    }
    // ASCII digits and marks only, so each byte is one UTF-16 unit.
    out.append(text, text + length);
}

std::u16string IsoDateTimeText(const TDateTime& t, IsoParts parts) {
    std::u16string text;
    AppendIsoDateTimeText(text, t, parts);
    return text;
}

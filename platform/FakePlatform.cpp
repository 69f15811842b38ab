#include "platform/FakePlatform.h"

namespace {

void AppendNumber(std::u16string& out, int value, int minDigits) {
    char16_t digits[12];
    int count = 0;
    unsigned magnitude = static_cast<unsigned>(value);
    if (value < 0)
        magnitude = 0u - magnitude;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        out += u'-';
    for (int i = count; i < minDigits; ++i)
        out += u'0';
    while (count > 0)
        out += digits[--count];
}

const char16_t* const monthNames[] = {u"January",   u"February", u"March",    u"April",
                                      u"May",       u"June",     u"July",     u"August",
                                      u"September", u"October",  u"November", u"December"};
const char16_t* const dayNames[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                    u"Thursday", u"Friday", u"Saturday"};

// 0 for Sunday, in the Gregorian calendar.
int DayOfWeek(int year, int month, int day) {
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        --year;
    int days = year + year / 4 - year / 100 + year / 400 + offsets[(month + 11) % 12] + day;
    return (days % 7 + 7) % 7;
}

// The whole name for four letters or more, its first three letters for three.
void AppendName(std::u16string& out, std::u16string_view name, std::size_t run) {
    out += run >= 4 ? name : name.substr(0, 3);
}

// Renders the letters in `letters` (runs of one letter form one field); every other character
// is copied, and text in apostrophes is literal ('' is one apostrophe).
std::u16string Render(const TDateTime& t, const std::u16string& pattern,
                      std::u16string_view letters) {
    std::u16string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        char16_t c = pattern[i];
        if (c == u'\'') {
            ++i;
            for (; i < pattern.size(); ++i) {
                if (pattern[i] != u'\'')
                    out += pattern[i];
                else if (i + 1 < pattern.size() && pattern[i + 1] == u'\'')
                    out += pattern[++i];
                else
                    break;
            }
            ++i;
            continue;
        }
        if (letters.find(c) == std::u16string_view::npos) {
            out += c;
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        i += run;
        int width = run >= 2 ? 2 : 1;
        switch (c) {
        case u'd':
            if (run >= 3)
                AppendName(out, dayNames[DayOfWeek(t.year, t.month, t.day)], run);
            else
                AppendNumber(out, t.day, width);
            break;
        case u'M':
            if (run >= 3)
                AppendName(out, monthNames[(t.month + 11) % 12], run);
            else
                AppendNumber(out, t.month, width);
            break;
        case u'y':
            if (run >= 3)
                AppendNumber(out, t.year, 4);
            else
                AppendNumber(out, t.year % 100, width);
            break;
        case u'h':
            AppendNumber(out, t.hour % 12 == 0 ? 12 : t.hour % 12, width);
            break;
        case u'H':
            AppendNumber(out, t.hour, width);
            break;
        case u'm':
            AppendNumber(out, t.minute, width);
            break;
        case u's':
            AppendNumber(out, t.second, width);
            break;
        case u't':
            out += t.hour < 12 ? u'A' : u'P';
            if (run >= 2)
                out += u'M';
            break;
        }
    }
    return out;
}

} // namespace

std::u16string FakePlatform::FormatDate(const TDateTime& date,
                                        const std::u16string& pattern) const {
    return Render(date, pattern, u"dMy");
}

std::u16string FakePlatform::FormatTime(const TDateTime& time,
                                        const std::u16string& pattern) const {
    return Render(time, pattern, u"hHmst");
}

std::u16string FakePlatform::EightBitToText(std::string_view bytes) const {
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[i] = static_cast<unsigned char>(bytes[i]);
    return text;
}

std::string FakePlatform::TextToEightBit(std::u16string_view text) const {
    std::string bytes(text.size(), '?');
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] <= 0xFF)
            bytes[i] = static_cast<char>(text[i]);
    return bytes;
}

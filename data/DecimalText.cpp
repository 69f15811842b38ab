#include "data/DecimalText.h"

#include <algorithm>

bool NormalizeDecimalText(std::u16string_view text, std::u16string& out) {
    auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
        negative = text[pos++] == u'-';
    std::u16string_view whole, fraction;
    std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    whole = text.substr(start, pos - start);
    if (pos < text.size() && (text[pos] == u'.' || text[pos] == u',')) {
        start = ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        fraction = text.substr(start, pos - start);
    }
    if (whole.empty() && fraction.empty())
        return false;
    long exponent = 0;
    if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        ++pos;
        bool down = pos < text.size() && text[pos] == u'-';
        if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
            ++pos;
        if (pos == text.size())
            return false;
        for (; pos < text.size() && isDigit(text[pos]); ++pos) {
            exponent = exponent * 10 + (text[pos] - u'0');
            if (exponent > 4000)
                return false; // no exact type goes that far
        }
        if (down)
            exponent = -exponent;
    }
    if (pos != text.size())
        return false;

    std::u16string digits(whole);
    digits += fraction;
    long point = long(whole.size()) + exponent; // digits before the separator
    out.clear();
    if (negative && digits.find_first_not_of(u'0') != std::u16string::npos)
        out += u'-';
    std::size_t wholeStart = out.size();
    if (point <= 0)
        out += u'0';
    else
        for (long i = 0; i < point; ++i)
            out += std::size_t(i) < digits.size() ? digits[i] : u'0';
    // Leading zeros go; one stays before the separator.
    std::size_t zeros = 0;
    while (wholeStart + zeros + 1 < out.size() && out[wholeStart + zeros] == u'0')
        ++zeros;
    out.erase(wholeStart, zeros);
    if (long(digits.size()) > std::max(point, 0L)) {
        out += u'.';
        for (long i = point; i < 0; ++i)
            out += u'0';
        out.append(digits, std::size_t(std::max(point, 0L)));
    }
    return true;
}

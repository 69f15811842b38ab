#include "app/ActivityLogText.h"

#include <algorithm>

#include "base/Text.h"

namespace {

std::size_t FindFrom(std::u16string_view text, std::u16string_view what, std::size_t from) {
    return std::min(text.find(what, from), text.size());
}

bool IsPasswordKey(std::u16string_view key) {
    std::u16string lower;
    for (char16_t c : key)
        lower += ToLowerChar(c);
    return lower.find(u"pwd") != std::u16string::npos ||
           lower.find(u"passw") != std::u16string::npos;
}

// Where the value that begins at `pos` ends for the reader that makes it longest, so that no
// reader finds a piece of it outside the mask. A plain value ends at the next ";". One that
// opens with "{" runs to its closing "}" ("}}" inside standing for "}") and on to the next
// ";", or for FreeTDS to the first "};"; one that opens with a quote, as OLE DB writes it, to
// its closing quote and on to the next ";". A value never closed runs to the end.
std::size_t ValueEnd(std::u16string_view text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    std::size_t end = FindFrom(text, u";", pos);
    if (pos == text.size() || (text[pos] != u'{' && text[pos] != u'\'' && text[pos] != u'"'))
        return end;
    const char16_t close[] = {text[pos] == u'{' ? u'}' : text[pos], u'\0'};
    std::size_t at = pos + 1;
    while ((at = FindFrom(text, close, at)) + 1 < text.size() && text[at + 1] == close[0])
        at += 2;
    end = std::max(end, FindFrom(text, u";", at));
    if (text[pos] == u'{')
        end = std::max(end, std::min(FindFrom(text, u"};", pos) + 1, text.size()));
    return end;
}

} // namespace

std::u16string TwoDigits(std::int32_t Number) {
    std::u16string text = IntToStr(Number);
    return text.size() == 1 ? u"0" + text : text;
}

std::u16string DateStamp(const TDateTime& Date) {
    return IntToStr(Date.day) + TwoDigits(Date.month) + TwoDigits(Date.year);
}

std::u16string LogFileName(const TDateTime& Date) {
    return u"Qrydesk_" + DateStamp(Date) + u".txt";
}

std::u16string LogLine(const TDateTime& now, std::u16string_view shortDate,
                       std::u16string_view longTime, std::u16string_view message) {
    std::u16string line(shortDate);
    if (!now.IsMidnight())
        line.append(u" ").append(longTime);
    line.append(u": ").append(message).append(u"\r\n");
    return line;
}

std::u16string PasswordsMasked(std::u16string_view text) {
    std::u16string masked;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t equals = std::min(text.find_first_of(u"=;", start), text.size());
        std::size_t end;
        if (equals < text.size() && text[equals] == u'=' &&
            IsPasswordKey(text.substr(start, equals - start))) {
            masked.append(text.substr(start, equals + 1 - start)).append(u"***");
            end = ValueEnd(text, equals + 1);
        } else {
            end = FindFrom(text, u";", start);
            masked.append(text.substr(start, end - start));
        }
        if (end < text.size())
            masked += u';';
        start = end + 1;
    }
    return masked;
}

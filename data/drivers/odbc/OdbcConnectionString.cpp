#include "data/drivers/odbc/OdbcConnectionString.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/Text.h"

namespace {

// The braced value that opens at text[pos]; `pos` moves past its closing "}". Nothing when it
// never closes.
std::optional<std::u16string> ReadBraced(std::u16string_view text, std::size_t& pos) {
    std::u16string value;
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] != u'}')
            value += text[pos];
        else if (pos + 1 < text.size() && text[pos + 1] == u'}')
            value += text[pos++];
        else
            break;
    }
    if (pos == text.size())
        return std::nullopt;
    ++pos;
    return value;
}

[[noreturn]] void RefuseValue(std::u16string_view where, std::u16string_view key,
                              std::u16string_view fault) {
    throw Exception(u"In " + std::u16string(where) + u", the value after \"" + std::u16string(key) +
                    u"=\" " + std::u16string(fault));
}

} // namespace

std::u16string OdbcValue(std::u16string_view value) {
    bool braces = !value.empty() && (value.find_first_of(u";{}") != std::u16string_view::npos ||
                                     IsBlank(value.front()) || IsBlank(value.back()));
    return braces ? OdbcBraced(value) : std::u16string(value);
}

std::u16string OdbcBraced(std::u16string_view value) {
    return Enclosed(value, u'{', u'}');
}

std::optional<std::u16string> OdbcUnbraced(std::u16string_view text) {
    if (text.empty() || text.front() != u'{')
        return std::nullopt;
    std::size_t pos = 0;
    auto value = ReadBraced(text, pos);
    return value && pos == text.size() ? value : std::nullopt;
}

std::vector<OdbcSegment> ReadOdbcConnectionString(std::u16string_view text,
                                                  std::u16string_view where) {
    std::vector<OdbcSegment> segments;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t start = pos;
        std::size_t equals = text.find_first_of(u"=;", pos);
        if (equals == std::u16string_view::npos || text[equals] == u';') {
            pos = equals == std::u16string_view::npos ? text.size() : equals + 1;
            continue; // no "=": not a setting
        }
        std::u16string_view key = Trimmed(text.substr(start, equals - start));
        pos = equals + 1;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        std::optional<std::u16string> braced;
        if (pos < text.size() && text[pos] == u'{') {
            braced = ReadBraced(text, pos);
            if (!braced)
                RefuseValue(where, key, u"opens with '{' but has no closing '}'");
        }
        std::size_t end = std::min(text.find(u';', pos), text.size());
        std::u16string_view after = Trimmed(text.substr(pos, end - pos));
        if (braced && !after.empty())
            RefuseValue(where, key, u"has text after its closing '}'");
        if (!key.empty())
            segments.push_back({std::u16string(key), braced ? *braced : std::u16string(after),
                                std::u16string(Trimmed(text.substr(start, end - start)))});
        pos = end + 1;
    }
    return segments;
}

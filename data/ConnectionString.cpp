#include "data/ConnectionString.h"

#include "base/Text.h"

namespace {

// A ";" ends the value, blanks at the ends are dropped, a leading quote opens a quoted value,
// and a leading "=" would join the "=" before it into a doubled "=" of the key.
bool NeedsQuotes(std::u16string_view value) {
    if (value.empty())
        return false;
    char16_t first = value.front();
    return value.find(u';') != std::u16string_view::npos || IsBlank(first) ||
           IsBlank(value.back()) || first == u'\'' || first == u'"' || first == u'=';
}

} // namespace

ConnectionString ConnectionString::Parse(std::u16string_view text) {
    ConnectionString result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        // The key runs to the first "=" that is not doubled.
        std::u16string key;
        while (pos < text.size() && text[pos] != u';') {
            if (text[pos] == u'=') {
                if (pos + 1 < text.size() && text[pos + 1] == u'=') {
                    key += u'=';
                    pos += 2;
                    continue;
                }
                break;
            }
            key += text[pos++];
        }
        std::u16string value;
        if (pos < text.size() && text[pos] == u'=') {
            ++pos;
            while (pos < text.size() && IsBlank(text[pos]))
                ++pos;
            if (pos < text.size() && (text[pos] == u'\'' || text[pos] == u'"')) {
                char16_t quote = text[pos++];
                for (; pos < text.size(); ++pos) {
                    if (text[pos] == quote) {
                        if (pos + 1 < text.size() && text[pos + 1] == quote) {
                            value += quote;
                            ++pos;
                            continue;
                        }
                        ++pos;
                        break;
                    }
                    value += text[pos];
                }
                while (pos < text.size() && text[pos] != u';')
                    ++pos;
            } else {
                std::size_t end = text.find(u';', pos);
                if (end == std::u16string_view::npos)
                    end = text.size();
                value = Trimmed(text.substr(pos, end - pos));
                pos = end;
            }
        }
        if (pos < text.size())
            ++pos; // the ";"
        std::u16string_view name = Trimmed(key);
        if (name.empty())
            continue;
        std::erase_if(result.entries_,
                      [&](const auto& entry) { return SameText(entry.first, name); });
        result.entries_.emplace_back(std::u16string(name), std::move(value));
    }
    return result;
}

std::optional<std::u16string> ConnectionString::Value(std::u16string_view key) const {
    for (const auto& [name, value] : entries_)
        if (SameText(name, key))
            return value;
    return std::nullopt;
}

std::u16string ConnectionStringValue(std::u16string_view value) {
    if (!NeedsQuotes(value))
        return std::u16string(value);
    bool hasDouble = value.find(u'"') != std::u16string_view::npos;
    bool hasSingle = value.find(u'\'') != std::u16string_view::npos;
    // Single quotes spare doubling when only double quotes occur inside.
    char16_t quote = hasDouble && !hasSingle ? u'\'' : u'"';
    return Enclosed(value, quote, quote);
}

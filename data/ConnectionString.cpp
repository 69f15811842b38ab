#include "data/ConnectionString.h"

#include "base/Text.h"

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameKey(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ToLowerChar(a[i]) != ToLowerChar(b[i]))
            return false;
    return true;
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
                      [&](const auto& entry) { return SameKey(entry.first, name); });
        result.entries_.emplace_back(std::u16string(name), std::move(value));
    }
    return result;
}

std::optional<std::u16string> ConnectionString::Value(std::u16string_view key) const {
    for (const auto& [name, value] : entries_)
        if (SameKey(name, key))
            return value;
    return std::nullopt;
}

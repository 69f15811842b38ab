#include "tests/fuzz/OdbcSettings.h"

#include <algorithm>

#include "base/Text.h"

std::optional<OdbcSettings> ReadOdbcSettings(std::u16string_view text) {
    OdbcSettings settings;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t equals = text.find_first_of(u"=;", pos);
        if (equals == std::u16string_view::npos || text[equals] == u';')
            return std::nullopt;
        std::u16string_view key = Trimmed(text.substr(pos, equals - pos));
        if (key.empty())
            return std::nullopt;
        pos = equals + 1;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        std::u16string value;
        std::size_t end;
        if (pos < text.size() && text[pos] == u'{') {
            for (++pos;; ++pos) {
                if (pos == text.size())
                    return std::nullopt;
                if (text[pos] == u'}') {
                    if (pos + 1 == text.size() || text[pos + 1] != u'}')
                        break;
                    ++pos;
                }
                value += text[pos];
            }
            end = std::min(text.find(u';', pos), text.size());
            if (!Trimmed(text.substr(pos + 1, end - pos - 1)).empty())
                return std::nullopt;
        } else {
            end = std::min(text.find(u';', pos), text.size());
            value = Trimmed(text.substr(pos, end - pos));
        }
        settings.emplace_back(key, std::move(value));
        pos = end + 1;
    }
    return settings;
}

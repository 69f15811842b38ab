#include "tests/fuzz/OdbcSettings.h"

#include <algorithm>

#include "base/Text.h"
#include "tests/fuzz/FuzzSupport.h"

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

bool SameOdbcSetting(std::u16string_view a, std::u16string_view b) {
    static const std::vector<std::vector<std::u16string_view>> kNames = {
        {u"UID", u"Username", u"User", u"LogonID"}, {u"PWD", u"Password"}, {u"DATABASE", u"DB"}};
    auto names = [](const std::vector<std::u16string_view>& group, std::u16string_view key) {
        return std::any_of(group.begin(), group.end(),
                           [&](std::u16string_view name) { return SameText(name, key); });
    };
    return SameText(a, b) || std::any_of(kNames.begin(), kNames.end(), [&](const auto& group) {
               return names(group, a) && names(group, b);
           });
}

OdbcSettings RequireRoutedSettings(std::u16string_view odbc, std::u16string_view text) {
    auto settings = ReadOdbcSettings(odbc);
    Require(settings.has_value(), "the ODBC string reads by the ODBC rule", text);
    for (std::size_t i = 0; i < settings->size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            Require(!SameOdbcSetting((*settings)[i].first, (*settings)[j].first),
                    "a setting comes once, under one of its names", text);
    return *settings;
}

#include "data/drivers/SqlDialect.h"

#include <algorithm>

#include "base/Text.h"

std::u16string SqlDialect::Quoted(std::u16string_view name) const {
    return Enclosed(name, quoteOpen, quoteClose);
}

bool SqlDialect::SameName(std::u16string_view a, std::u16string_view b) const {
    return namesIgnoreCase ? SameText(a, b) : a == b;
}

bool SqlDialect::HasKey(const std::vector<std::vector<std::u16string>>& keys,
                        const std::vector<std::u16string>& key) const {
    auto same = [this](const auto& a, const auto& b) { return SameName(a, b); };
    return std::any_of(keys.begin(), keys.end(), [&](const auto& other) {
        return std::is_permutation(key.begin(), key.end(), other.begin(), other.end(), same);
    });
}

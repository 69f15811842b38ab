#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// An OLE DB connection string: "key=value" pairs separated by ";". Keys are compared without
// regard to case, and their surrounding blanks are dropped; "==" in a key stands for "=". A
// value may be quoted with ' or " to hold ";" or surrounding blanks, with the quote doubled
// inside; an unquoted value loses its surrounding blanks. When a key comes twice, the last
// value counts.
class ConnectionString {
public:
    static ConnectionString Parse(std::u16string_view text);

    std::optional<std::u16string> Value(std::u16string_view key) const;
    const std::vector<std::pair<std::u16string, std::u16string>>& Entries() const {
        return entries_;
    }

private:
    std::vector<std::pair<std::u16string, std::u16string>> entries_;
};

// One value as it stands after "key=", so that Parse reads back exactly this value: unchanged
// unless it would change the string's structure (a ";", blanks at either end, a leading quote
// or "="); those are quoted with '"', or with "'" when only double quotes occur inside.
std::u16string ConnectionStringValue(std::u16string_view value);

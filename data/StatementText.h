#pragma once

#include <string>
#include <string_view>
#include <vector>

// A statement as the database receives it: the editor's lines, each followed by CR LF, with
// every ":name" outside quoted text replaced by "?" and recorded as a parameter.
struct StatementText {
    std::u16string text;
    std::vector<std::u16string> parameterNames;
};

std::u16string JoinLines(const std::vector<std::u16string>& lines);

// Outside text in apostrophes, double quotes or backquotes, a ":" not followed by ":" starts a
// parameter name that ends before the next blank, ",", ";", ")", CR, LF or the end; a name
// that starts with a quote runs to its closing quote. "::" stays as it is.
StatementText ScanParameters(std::u16string_view text);

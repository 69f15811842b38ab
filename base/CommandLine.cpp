#include "base/CommandLine.h"

namespace {

bool IsSeparator(char16_t c) {
    return c <= u' ';
}

} // namespace

std::u16string CommandLineArgument(std::u16string_view commandLine, std::size_t index) {
    std::size_t pos = 0;
    for (std::size_t current = 0;; ++current) {
        while (pos < commandLine.size() && IsSeparator(commandLine[pos]))
            ++pos;
        if (pos == commandLine.size())
            return {};
        std::u16string argument;
        bool quoted = false;
        for (; pos < commandLine.size() && (quoted || !IsSeparator(commandLine[pos])); ++pos) {
            if (commandLine[pos] == u'"')
                quoted = !quoted;
            else
                argument += commandLine[pos];
        }
        if (current == index)
            return argument;
    }
}

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The default error report's text: the message, with "." appended when it is not empty and
// its last character's code is above that of ".". So "failed" gets a full stop, while
// "failed.", "(failed)", "failed!" and "failed " do not.
std::u16string CompleteWithFullStop(std::u16string message);

// The application title: the program file's name without its directory, cut at the first
// ".", with every character after the first in lower case ("C:\\x\\ABC.Tool.exe" -> "Abc").
std::u16string ApplicationTitle(std::u16string_view programPath);

// The last-chance report's text for an error of type `typeName` raised at `offset` bytes
// into the module `moduleName`.
std::u16string LastChanceText(std::u16string_view typeName, std::u16string_view moduleName,
                              std::uint64_t offset, std::u16string_view message);

#pragma once

#include <functional>
#include <string>

#include "base/Exception.h"
#include "base/Text.h"

// The message of the exception `action` raises, or "(no error)" when it raises none, so that
// the outcome compares in one line.
inline std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return ToUtf8(e.Message());
    }
    return "(no error)";
}

#pragma once

#include <string>

#include "data/CellValue.h"

// A value that keeps its own text and bytes, for values that must outlive the row or the
// statement they came from.
class OwnedValue {
public:
    OwnedValue() = default;
    explicit OwnedValue(const CellValue& value) { Set(value); }

    void Set(const CellValue& value) {
        value_ = value;
        text_.assign(value.text);
        bytes_.assign(value.bytes);
        utf8_.assign(value.utf8);
    }
    CellValue Get() const {
        CellValue value = value_;
        value.text = text_;
        value.bytes = bytes_;
        value.utf8 = utf8_;
        return value;
    }

private:
    CellValue value_;
    std::u16string text_;
    std::string bytes_;
    std::string utf8_;
};

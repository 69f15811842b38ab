#pragma once

#include <cstdio>
#include <string>

#include "base/Text.h"
#include "data/drivers/Driver.h"

// A value as "kind:value", so that whole rows compare in one line.
inline std::string Show(const CellValue& value) {
    char text[64];
    switch (value.tag) {
    case CellValue::Tag::Null:
        return "null";
    case CellValue::Tag::Integer:
        return "int:" + std::to_string(value.integer);
    case CellValue::Tag::Real:
        std::snprintf(text, sizeof text, "real:%g", value.real);
        return text;
    case CellValue::Tag::Text:
        return "text:" + ToUtf8(value.text);
    case CellValue::Tag::Utf8Text:
        return "text:" + std::string(value.utf8);
    case CellValue::Tag::Decimal:
        return "dec:" + ToUtf8(value.text);
    case CellValue::Tag::Bytes: {
        std::string hex = "bytes:";
        for (unsigned char c : value.bytes) {
            std::snprintf(text, sizeof text, "%02x", c);
            hex += text;
        }
        return hex;
    }
    case CellValue::Tag::DateTime: {
        const TDateTime& t = value.dateTime;
        std::snprintf(text, sizeof text, "dt:%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month,
                      t.day, t.hour, t.minute, t.second, t.millisecond);
        return text;
    }
    }
    return "?";
}

// A value bound for a column of the kind, precision and scale.
inline BoundValue Bound(TFieldType type, CellValue value, int precision = 0, int scale = 0) {
    BoundValue bound;
    bound.type = type;
    bound.precision = precision;
    bound.scale = scale;
    bound.value = value;
    return bound;
}

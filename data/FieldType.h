#pragma once

// The kind of a result column, as the data layer classifies what the driver reports. It
// decides how a value becomes text and, in the grid, a column's width and alignment.
enum class TFieldType {
    Unknown,
    String,     // 8-bit character text of a declared size
    WideString, // UTF-16 character text of a declared size
    Smallint,
    Integer,
    Largeint, // 64-bit integer
    Boolean,
    Float,   // binary floating point
    Decimal, // exact decimal with precision and scale
    Date,
    Time,
    DateTime,
    Memo,     // long 8-bit text
    WideMemo, // long UTF-16 text
    Blob,     // long bytes
    Bytes,    // fixed-length bytes
    VarBytes, // variable-length bytes
    Guid,
    Variant, // no fixed kind: each value brings its own
};

inline bool IsIntegerField(TFieldType type) {
    return type == TFieldType::Smallint || type == TFieldType::Integer ||
           type == TFieldType::Largeint;
}

inline bool IsNumericField(TFieldType type) {
    return IsIntegerField(type) || type == TFieldType::Float || type == TFieldType::Decimal;
}

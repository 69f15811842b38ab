#pragma once

#include <cstdint>
#include <string_view>

#include "base/DateTime.h"

// One value of a result row, as a driver hands it over and as the row cache gives it back.
// Text and bytes point into memory owned by whoever produced the value; they stay valid only
// until that owner's next fetch or change.
struct CellValue {
    enum class Tag : std::uint8_t {
        Null,
        Integer,  // `integer`; also booleans (0 or 1)
        Real,     // `real`
        Text,     // `text`, UTF-16
        Bytes,    // `bytes`
        DateTime, // `dateTime`; a date has midnight, a time has year 0. `text`, when not
                  // empty, is the value exactly as the database stores it (a spelling of its
                  // own, a fraction finer than the millisecond, a time-zone offset or name): it is
                  // what a driver binds to find the stored value again, while `dateTime` is
                  // what the user sees.
        Decimal,  // `text`: an exact decimal as "-123.4500", "." before the fraction
        Utf8Text, // `utf8`: text as an engine that keeps UTF-8 hands it over; it shows, copies
                  // and binds as Text does, converted only where it is shown or copied
    };

    Tag tag = Tag::Null;
    // A value the driver could not read as its kind (a date beyond the years it can hold, say)
    // and hands over as the database's own text: it can be shown but not bound back to find
    // its row.
    bool displayOnly = false;
    std::int64_t integer = 0;
    double real = 0;
    std::u16string_view text;
    std::string_view bytes;
    std::string_view utf8;
    TDateTime dateTime;

    static CellValue Null() { return {}; }
    static CellValue OfInteger(std::int64_t v) {
        CellValue c;
        c.tag = Tag::Integer;
        c.integer = v;
        return c;
    }
    static CellValue OfReal(double v) {
        CellValue c;
        c.tag = Tag::Real;
        c.real = v;
        return c;
    }
    static CellValue OfText(std::u16string_view v) {
        CellValue c;
        c.tag = Tag::Text;
        c.text = v;
        return c;
    }
    static CellValue OfUtf8Text(std::string_view v) {
        CellValue c;
        c.tag = Tag::Utf8Text;
        c.utf8 = v;
        return c;
    }
    // What the driver could not read as its kind, as the database's text, only to be shown.
    static CellValue OfShownText(std::u16string_view v) {
        CellValue c = OfText(v);
        c.displayOnly = true;
        return c;
    }
    static CellValue OfBytes(std::string_view v) {
        CellValue c;
        c.tag = Tag::Bytes;
        c.bytes = v;
        return c;
    }
    static CellValue OfDateTime(const TDateTime& v) {
        CellValue c;
        c.tag = Tag::DateTime;
        c.dateTime = v;
        return c;
    }
    // A date-time whose stored form `dateTime` cannot give back exactly.
    static CellValue OfDateTime(const TDateTime& v, std::u16string_view stored) {
        CellValue c = OfDateTime(v);
        c.text = stored;
        return c;
    }
    static CellValue OfDecimal(std::u16string_view digits) {
        CellValue c;
        c.tag = Tag::Decimal;
        c.text = digits;
        return c;
    }
};

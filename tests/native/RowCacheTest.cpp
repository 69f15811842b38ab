#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "DriverValues.h"
#include "base/Text.h"
#include "data/RowCache.h"

namespace {

// Everything a value carries, so that a value read back compares in one line.
std::string Whole(const CellValue& value) {
    std::string text = Show(value);
    if (value.tag == CellValue::Tag::DateTime)
        text += " as '" + ToUtf8(value.text) + "'";
    if (value.displayOnly)
        text += " (shown only)";
    return text;
}

// Values of every kind, with stored lengths on both sides of each size of the length before
// them, text in both encodings at odd and even places, and values that take chunks of their own.
struct Values {
    std::u16string hebrew = u"שלום";
    std::string utf8Hebrew = ToUtf8(u"שלום עולם");
    std::string nulBytes = std::string("a\0b\0", 4);
    std::string len127 = std::string(127, 'x');
    std::string len128 = std::string(128, 'y');
    std::string len16383 = std::string(16383, 'z');
    std::string len16384 = std::string(16384, 'w');
    std::u16string longText = std::u16string(200, u'ק');
    std::u16string spelling = u"2024-01-01T10:00";
    TDateTime when{2024, 1, 1, 10, 0, 0, 0};

    std::vector<CellValue> All() const {
        return {CellValue::Null(),
                CellValue::OfInteger(std::numeric_limits<std::int64_t>::min()),
                CellValue::OfReal(-2.5),
                CellValue::OfUtf8Text("a"),
                CellValue::OfText(hebrew),
                CellValue::OfUtf8Text(""),
                CellValue::OfText(u""),
                CellValue::OfUtf8Text(utf8Hebrew),
                CellValue::OfBytes(nulBytes),
                CellValue::OfUtf8Text(len127),
                CellValue::OfBytes(len128),
                CellValue::OfUtf8Text(len16383),
                CellValue::OfUtf8Text(len16384),
                CellValue::OfText(longText),
                CellValue::OfDecimal(u"-12.50"),
                CellValue::OfDateTime(when),
                CellValue::OfDateTime(when, spelling),
                CellValue::OfShownText(u"infinity"),
                CellValue::OfInteger(7)};
    }
};

// Row r holds the values turned r places, so that every value is stored after every other.
std::vector<CellValue> Turned(const std::vector<CellValue>& values, std::size_t r) {
    std::vector<CellValue> row;
    for (std::size_t c = 0; c < values.size(); ++c)
        row.push_back(values[(c + r) % values.size()]);
    return row;
}

std::string RowText(const RowCache& cache, std::size_t row) {
    std::string text;
    for (std::size_t c = 0; c < cache.ColumnCount(); ++c)
        text += Whole(cache.Cell(row, c)) + "|";
    return text;
}

std::string RowText(const std::vector<CellValue>& values) {
    std::string text;
    for (const CellValue& value : values)
        text += Whole(value) + "|";
    return text;
}

// Rows appended whole or value by value read back exactly, across blocks and chunks.
TEST(RowCache, EveryValueReadsBackAsItWasStored) {
    Values values;
    std::vector<CellValue> all = values.All();
    RowCache cache(all.size());
    constexpr std::size_t rows = 300;
    for (std::size_t r = 0; r < rows; ++r) {
        std::vector<CellValue> row = Turned(all, r);
        if (r % 2 == 0) {
            cache.Append(row);
            continue;
        }
        // Value by value, the way a driver writes; a row started again is written afresh.
        cache.StartRow();
        cache.PutUtf8Text(0, "dropped");
        cache.StartRow();
        for (std::size_t c = 0; c < row.size(); ++c) {
            const CellValue& value = row[c];
            if (value.tag == CellValue::Tag::Integer)
                cache.PutInteger(c, value.integer);
            else if (value.tag == CellValue::Tag::Real)
                cache.PutReal(c, value.real);
            else if (value.tag == CellValue::Tag::Utf8Text)
                cache.PutUtf8Text(c, value.utf8);
            else if (value.tag == CellValue::Tag::Null)
                cache.PutNull(c);
            else
                cache.Put(c, value);
        }
        cache.EndRow();
    }
    ASSERT_EQ(cache.RowCount(), rows);
    for (std::size_t r = 0; r < rows; ++r)
        ASSERT_EQ(RowText(cache, r), RowText(Turned(all, r))) << "row " << r;
}

// Values of 128 bytes with their length fill chunks exactly; UTF-16 text after them must still
// be placed within a chunk, at an even address.
TEST(RowCache, TextAfterAFullChunkStartsAFreshOne) {
    std::string filler(127, 'f');
    for (std::size_t fillers = 500; fillers < 1100; fillers += 1) {
        RowCache cache(1);
        for (std::size_t r = 0; r < fillers; ++r)
            cache.Append({CellValue::OfUtf8Text(filler)});
        cache.Append({CellValue::OfText(u"wide")});
        ASSERT_EQ(cache.Cell(fillers, 0).text, u"wide") << fillers;
        ASSERT_EQ(cache.Cell(fillers - 1, 0).utf8, filler) << fillers;
    }
}

TEST(RowCache, InsertReplaceAndRemoveKeepTheOtherRows) {
    Values values;
    std::vector<CellValue> all = values.All();
    RowCache cache(all.size());
    std::vector<std::vector<CellValue>> expected;
    for (std::size_t r = 0; r < 256; ++r) {
        cache.Append(Turned(all, r));
        expected.push_back(Turned(all, r));
    }
    auto check = [&](const char* step) {
        ASSERT_EQ(cache.RowCount(), expected.size()) << step;
        for (std::size_t r = 0; r < expected.size(); ++r)
            ASSERT_EQ(RowText(cache, r), RowText(expected[r])) << step << ", row " << r;
    };
    cache.Insert(3, Turned(all, 5));
    expected.insert(expected.begin() + 3, Turned(all, 5));
    check("a row put in a full block");
    cache.Replace(0, Turned(all, 9));
    expected[0] = Turned(all, 9);
    check("a row given new values");
    cache.Remove(3);
    expected.erase(expected.begin() + 3);
    cache.Remove(255);
    expected.pop_back();
    check("rows taken out");
    cache.Append(Turned(all, 1));
    expected.push_back(Turned(all, 1));
    check("a row appended after them");
}

} // namespace

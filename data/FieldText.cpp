#include "data/FieldText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/Text.h"

// This runs for every cell of a copied result, so numbers are composed in stack buffers and
// the text is allocated once.

namespace {

std::u16string IntegerText(std::int64_t value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::u16string(digits, end);
}

// Room for the longest general form: "-d.ddddddddddddddE-ddd".
using RealChars = char16_t[32];

// Most values a table holds have a few decimals (prices, amounts): a value that is N / 10^k,
// N an integer of at most 15 digits and k at most 4, written as such in fixed form, and 0 for
// any other. Since any two 15-digit decimals are different doubles, and the value is within a
// rounding of N / 10^k, that is the value correctly rounded to 15 significant digits.
int FormatFewDecimals(double value, char16_t separator, RealChars& out) {
    constexpr double powers[] = {1, 10, 100, 1000, 10000};
    constexpr double fifteenDigits = 1e15;
    for (int k = 0; k < 5; ++k) {
        double scaled = value * powers[k];
        if (!(std::fabs(scaled) < fifteenDigits))
            return 0;
        if (scaled != std::nearbyint(scaled))
            continue;
        auto whole = std::int64_t(scaled);
        if (whole == 0) {
            out[0] = u'0'; // negative zero too
            return 1;
        }
        while (k > 0 && whole % 10 == 0) {
            whole /= 10;
            --k;
        }
        char digits[24];
        char* end = std::to_chars(digits, digits + sizeof digits, whole).ptr;
        const char* p = digits;
        int n = 0;
        if (*p == '-')
            out[n++] = char16_t(*p++);
        int before = int(end - p) - k; // digits before the separator
        if (before <= 0) {
            out[n++] = u'0';
            out[n++] = separator;
            for (; before < 0; ++before)
                out[n++] = u'0';
        }
        for (int i = 0; p < end; ++p, ++i) {
            if (i == before && before > 0)
                out[n++] = separator;
            out[n++] = char16_t(*p);
        }
        return n;
    }
    return 0;
}

// General form with 15 significant digits: fixed while the rounded value has at most 15 digits
// before the point and is at least 0.00001, scientific otherwise. Returns the units written.
int FormatReal(double value, char16_t separator, RealChars& out) {
    auto put = [&out](std::u16string_view text) {
        std::copy(text.begin(), text.end(), out);
        return int(text.size());
    };
    if (std::isnan(value))
        return put(u"NAN");
    if (std::isinf(value))
        return put(value < 0 ? u"-INF" : u"INF");
    if (int n = FormatFewDecimals(value, separator, out))
        return n;

    // "-d.dddddddddddddde-ddd": correctly rounded to 15 significant digits.
    char scientific[32];
    const char* end = std::to_chars(scientific, scientific + sizeof scientific, value,
                                    std::chars_format::scientific, 14)
                          .ptr;
    const char* p = scientific;
    bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[15];
    int count = 0;
    for (; *p != 'e'; ++p) {
        if (*p != '.')
            digits[count++] = *p;
    }
    ++p;
    if (*p == '+')
        ++p;
    int exponent = 0;
    std::from_chars(p, end, exponent);
    while (count > 1 && digits[count - 1] == '0')
        --count;
    if (digits[0] == '0')
        return put(u"0"); // negative zero included

    int n = 0;
    if (negative)
        out[n++] = u'-';
    if (exponent >= -5 && exponent <= 14) {
        if (exponent >= 0) {
            for (int i = 0; i <= exponent; ++i)
                out[n++] = i < count ? digits[i] : u'0';
            if (count > exponent + 1)
                out[n++] = separator;
            for (int i = exponent + 1; i < count; ++i)
                out[n++] = digits[i];
        } else {
            out[n++] = u'0';
            out[n++] = separator;
            for (int i = -1; i > exponent; --i)
                out[n++] = u'0';
            for (int i = 0; i < count; ++i)
                out[n++] = digits[i];
        }
    } else {
        out[n++] = digits[0];
        if (count > 1)
            out[n++] = separator;
        for (int i = 1; i < count; ++i)
            out[n++] = digits[i];
        out[n++] = u'E';
        if (exponent < 0)
            out[n++] = u'-';
        char power[8];
        const char* powerEnd =
            std::to_chars(power, power + sizeof power, exponent < 0 ? -exponent : exponent).ptr;
        for (const char* q = power; q < powerEnd; ++q)
            out[n++] = *q;
    }
    return n;
}

std::u16string RealText(double value, char16_t separator) {
    RealChars out;
    return std::u16string(out, static_cast<std::size_t>(FormatReal(value, separator, out)));
}

// "-123.4500" -> "-123.45" with the user's separator. Drivers that leave out the zero before
// the point (".5") get it back; a fraction that is not plain digits is left as it came.
std::u16string DecimalText(std::u16string_view text, char16_t separator) {
    bool negative = !text.empty() && text[0] == u'-';
    if (negative)
        text.remove_prefix(1);
    std::size_t point = text.find(u'.');
    std::u16string_view whole = text.substr(0, point);
    std::u16string_view fraction =
        point == std::u16string_view::npos ? std::u16string_view() : text.substr(point + 1);
    if (fraction.find_first_not_of(u"0123456789") == std::u16string_view::npos) {
        std::size_t last = fraction.find_last_not_of(u'0');
        fraction = fraction.substr(0, last == std::u16string_view::npos ? 0 : last + 1);
    }
    if (whole.empty())
        whole = u"0";
    if (fraction.empty() && whole.find_first_not_of(u'0') == std::u16string_view::npos)
        negative = false; // "-0.00" is zero

    std::u16string out;
    out.reserve(1 + whole.size() + 1 + fraction.size());
    if (negative)
        out += u'-';
    out += whole;
    if (!fraction.empty()) {
        out += separator;
        out += fraction;
    }
    return out;
}

// Two bytes to a unit, the first the low half; an odd last byte stands alone.
std::u16string PairedBytesText(std::string_view bytes) {
    std::u16string out((bytes.size() + 1) / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto low = static_cast<unsigned char>(bytes[2 * i]);
        unsigned high = 2 * i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[2 * i + 1]) : 0;
        out[i] = static_cast<char16_t>(low | high << 8);
    }
    return out;
}

std::u16string DateTimeText(TFieldType type, const TDateTime& value, const ValueFormats& formats) {
    const Platform& platform = formats.platform;
    if (type == TFieldType::Date)
        return platform.FormatDate(value, formats.settings.ShortDateFormat);
    if (type == TFieldType::Time || value.year == 0)
        return platform.FormatTime(value, formats.settings.LongTimeFormat);
    std::u16string text = platform.FormatDate(value, formats.settings.ShortDateFormat);
    if (!value.IsMidnight()) {
        text += u' ';
        text += platform.FormatTime(value, formats.settings.LongTimeFormat);
    }
    return text;
}

} // namespace

std::u16string FieldValueText(TFieldType type, const CellValue& value,
                              const ValueFormats& formats) {
    // SQLite lets any column hold any kind of value, so the value's own tag decides first and
    // the field's type only refines it.
    switch (value.tag) {
    case CellValue::Tag::Null:
        return {};
    case CellValue::Tag::Integer:
        if (type == TFieldType::Boolean)
            return value.integer != 0 ? u"True" : u"False";
        return IntegerText(value.integer);
    case CellValue::Tag::Real:
        return RealText(value.real, formats.settings.DecimalSeparator);
    case CellValue::Tag::Text:
        return std::u16string(value.text);
    case CellValue::Tag::Utf8Text:
        return FromUtf8(value.utf8);
    case CellValue::Tag::Decimal:
        return DecimalText(value.text, formats.settings.DecimalSeparator);
    case CellValue::Tag::Bytes:
        if (type == TFieldType::Blob)
            return formats.platform.EightBitToText(value.bytes);
        return PairedBytesText(value.bytes);
    case CellValue::Tag::DateTime:
        return DateTimeText(type, value.dateTime, formats);
    }
    return {};
}

void AppendFieldValueText(TFieldType type, const CellValue& value, const ValueFormats& formats,
                          std::u16string& out) {
    switch (value.tag) {
    case CellValue::Tag::Null:
        return;
    case CellValue::Tag::Integer:
        if (type == TFieldType::Boolean) {
            out += value.integer != 0 ? u"True" : u"False";
        } else {
            char digits[24];
            auto end = std::to_chars(digits, digits + sizeof digits, value.integer).ptr;
            out.append(digits, end);
        }
        return;
    case CellValue::Tag::Real: {
        RealChars chars;
        int length = FormatReal(value.real, formats.settings.DecimalSeparator, chars);
        out.append(chars, static_cast<std::size_t>(length));
        return;
    }
    case CellValue::Tag::Text:
        out += value.text;
        return;
    case CellValue::Tag::Utf8Text: {
        std::size_t before = out.size();
        out.resize(before + value.utf8.size());
        out.resize(before + Utf8ToUtf16(value.utf8, out.data() + before));
        return;
    }
    default:
        out += FieldValueText(type, value, formats);
        return;
    }
}

std::u16string_view FieldValueTextView(TFieldType type, const CellValue& value,
                                       const ValueFormats& formats, std::u16string& scratch) {
    if (value.tag == CellValue::Tag::Text)
        return value.text;
    if (value.tag == CellValue::Tag::Utf8Text) {
        // The view ends where the text does, so the scratch only ever grows.
        if (scratch.size() < value.utf8.size())
            scratch.resize(value.utf8.size());
        return {scratch.data(), Utf8ToUtf16(value.utf8, scratch.data())};
    }
    scratch.clear();
    AppendFieldValueText(type, value, formats, scratch);
    return scratch;
}

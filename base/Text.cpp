#include "base/Text.h"

#include <cstdint>
#include <cstring>

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out(text.size(), u'\0');
    out.resize(Utf8ToUtf16(text, out.data()));
    return out;
}

std::size_t Utf8ToUtf16(std::string_view text, char16_t* out) {
    // The value bits of a lead byte from 0xC0 on; the continuation bytes that follow it are
    // taken however many there are.
    static constexpr unsigned char leadBits[64] = {
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c,
        0x0d, 0x0e, 0x0f, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19,
        0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
        0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x00, 0x01, 0x02, 0x03,
        0x04, 0x05, 0x06, 0x07, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x00, 0x00};
    auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = in + text.size();
    char16_t* start = out;
    while (in < end) {
        // Most text is ASCII: eight bytes at a time while they are.
        while (end - in >= 8) {
            std::uint64_t eight;
            std::memcpy(&eight, in, sizeof eight);
            if (eight & 0x8080808080808080u)
                break;
            for (int i = 0; i < 8; ++i)
                out[i] = in[i];
            in += 8;
            out += 8;
        }
        if (in == end)
            break;
        char32_t c = *in++;
        if (c >= 0xC0) {
            c = leadBits[c - 0xC0];
            while (in < end && (*in & 0xC0) == 0x80)
                c = (c << 6) + (*in++ & 0x3F);
            if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE)
                c = 0xFFFD;
        }
        if (c <= 0xFFFF) {
            *out++ = char16_t(c);
        } else {
            *out++ = char16_t(0xD800 + (((c - 0x10000) >> 10) & 0x3FF));
            *out++ = char16_t(0xDC00 + (c & 0x3FF));
        }
    }
    return std::size_t(out - start);
}

char16_t ToLowerChar(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    return c;
}

std::u16string IntToStr(long long value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWithText(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (ToLowerChar(text[i]) != ToLowerChar(prefix[i]))
            return false;
    return true;
}

bool SameText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithText(a, b);
}

std::u16string Enclosed(std::u16string_view text, char16_t open, char16_t close) {
    std::u16string enclosed(1, open);
    for (char16_t c : text) {
        enclosed += c;
        if (c == close)
            enclosed += c;
    }
    enclosed += close;
    return enclosed;
}

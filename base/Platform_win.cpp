#include "base/Platform.h"

#include <climits>

#include <windows.h>

#include "base/Exception.h"
#include "base/Runtime.h"
#include "base/WideText_win.h"

namespace {

SYSTEMTIME ToSystemTime(const TDateTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wMilliseconds = static_cast<WORD>(t.millisecond);
    return st;
}

} // namespace

std::u16string FormatDate(const TDateTime& date, const std::u16string& pattern) {
    SYSTEMTIME st = ToSystemTime(date);
    wchar_t text[256];
    int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, W(pattern), text, 256, nullptr);
    return length > 0 ? U16(text) : std::u16string();
}

std::u16string FormatTime(const TDateTime& time, const std::u16string& pattern) {
    SYSTEMTIME st = ToSystemTime(time);
    wchar_t text[256];
    int length = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, W(pattern), text, 256);
    return length > 0 ? U16(text) : std::u16string();
}

std::u16string EightBitToText(std::string_view bytes) {
    if (bytes.empty())
        return {};
    if (bytes.size() > INT_MAX)
        throw Exception(u"The text is too long to convert.");
    int sourceLength = static_cast<int>(bytes.size());
    int length =
        MultiByteToWideChar(DefaultSystemCodePage, 0, bytes.data(), sourceLength, nullptr, 0);
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(DefaultSystemCodePage, 0, bytes.data(), sourceLength,
                        reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
}

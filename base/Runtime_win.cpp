#include "base/Runtime_win.h"
#include "base/Runtime.h"

#include <windows.h>

#include "base/WideText_win.h"

namespace {

std::u16string UserLocaleInfo(LCTYPE item) {
    wchar_t value[128];
    int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, value, 128);
    return length > 0 ? U16(value) : std::u16string();
}

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

void InitializeRuntime() {
    LCID locale = GetThreadLocale();
    SysLocale.DefaultLCID = locale;
    SysLocale.PriLangID = PRIMARYLANGID(LANGIDFROMLCID(locale));
    SysLocale.SubLangID = SUBLANGID(LANGIDFROMLCID(locale));
    // Both flags start set on every system; the toolkit's right-to-left support is then
    // available whatever the user's locale.
    SysLocale.FarEast = true;
    SysLocale.MiddleEast = true;
    DefaultSystemCodePage = GetACP();
    RefreshFormatSettings();
}

void RefreshFormatSettings() {
    FormatSettings.ShortDateFormat = UserLocaleInfo(LOCALE_SSHORTDATE);
    FormatSettings.LongTimeFormat = UserLocaleInfo(LOCALE_STIMEFORMAT);
    std::u16string decimal = UserLocaleInfo(LOCALE_SDECIMAL);
    FormatSettings.DecimalSeparator = decimal.empty() ? u'.' : decimal[0];
}

TDateTime LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

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

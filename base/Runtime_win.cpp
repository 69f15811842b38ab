#include "base/Runtime_win.h"

#include <windows.h>

#include "base/WideText_win.h"

TSysLocale SysLocale;
std::uint32_t DefaultSystemCodePage = 0;
TFormatSettings FormatSettings;

namespace {

std::u16string UserLocaleInfo(LCTYPE item) {
    wchar_t value[128];
    int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, value, 128);
    return length > 0 ? U16(value) : std::u16string();
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

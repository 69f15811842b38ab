#include "base/Runtime_win.h"
#include "base/Runtime.h"

#include <windows.h>

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
}

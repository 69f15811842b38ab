#pragma once

#include <cstdint>
#include <string>

// Process-wide locale facts that the run-time keeps and the toolkit consults. The program
// fills them at start-up (from the thread locale and the ANSI code page); the Hebrew set-up
// may overwrite them before the window exists.
struct TSysLocale {
    std::uint32_t DefaultLCID = 0;
    std::uint32_t PriLangID = 0;
    std::uint32_t SubLangID = 0;
    bool FarEast = false;
    // The toolkit applies right-to-left reading order, alignment and scroll bars only while set.
    bool MiddleEast = false;
};

extern TSysLocale SysLocale;

// Code page of every conversion to 8-bit text that names none of its own.
extern std::uint32_t DefaultSystemCodePage;

// The user's regional formats, read at start-up and again when the user changes them while
// the program runs. The thread locale does not affect them.
struct TFormatSettings {
    std::u16string ShortDateFormat;
    std::u16string LongTimeFormat;
    char16_t DecimalSeparator = u'.';
};

extern TFormatSettings FormatSettings;

#pragma once

#include <cstdint>

#include "base/FormatSettings.h"

// The program's view of the process's locale: what start-up found, as the Hebrew set-up and
// later changes of the user's settings left it. Only the Windows build has it: portable code
// takes what it needs as arguments or from the platform (platform/Platform.h).

// The run-time's system-locale description, which the toolkit consults.
struct TSysLocale {
    std::uint32_t DefaultLCID = 0;
    std::uint32_t PriLangID = 0;
    std::uint32_t SubLangID = 0;
    bool FarEast = false;
    // The toolkit applies right-to-left reading order, alignment and scroll bars only while set.
    bool MiddleEast = false;
};

extern TSysLocale SysLocale;

// Code page of every conversion to and from 8-bit text that names none of its own.
extern std::uint32_t DefaultSystemCodePage;

// The user's regional formats, read at start-up and again when the user changes them while
// the program runs.
extern TFormatSettings FormatSettings;

// Fills SysLocale from the thread locale, DefaultSystemCodePage from the ANSI code page and
// FormatSettings from the user's regional settings. Runs first at start-up, before any other
// module's initialisation.
void InitializeRuntime();

// Reads the user's regional formats again (after the user changed them).
void RefreshFormatSettings();

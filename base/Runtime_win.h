#pragma once

#include <string>

#include "base/DateTime.h"

// Fills SysLocale from the thread locale, DefaultSystemCodePage from the ANSI code page and
// FormatSettings from the user's regional settings. Runs first at start-up, before any other
// module's initialisation.
void InitializeRuntime();

// Reads the user's regional formats again (after the user changed them).
void RefreshFormatSettings();

// The local date and time now.
TDateTime LocalNow();

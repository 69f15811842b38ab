#pragma once

// Fills SysLocale from the thread locale and DefaultSystemCodePage from the ANSI code page.
// Runs first at start-up, before any other module's initialisation.
void InitializeRuntime();

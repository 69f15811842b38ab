#pragma once

#include <windows.h>

#include "grid/GridNavigation.h"

// The window's messages in the grid's words.

// A virtual key; GridKey::Other for the keys the grid has no use for.
GridKey KeyOf(WPARAM key);
// Shift, Ctrl and Alt as they stood when the message being handled was sent.
GridShift CurrentShift();
// A scroll-bar code; false for one that moves nothing (the end of a scroll).
bool ScrollOf(WORD code, GridScroll& action);

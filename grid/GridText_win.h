#pragma once

#include <string>
#include <string_view>

#include <windows.h>

// Text in the grid's cells, in the font selected into the device context, right-to-left runs
// and letters the font lacks included.

// The room between a cell's edge and its text, in pixels.
constexpr int GridTextMargin = 2;

// A text's width in pixels.
int TextWidth(HDC dc, std::u16string_view text);
// Fills the cell with the background colour and draws the text inside it, against its left or
// right edge, moved `shift` pixels right and down (a pressed title).
void DrawCellText(HDC dc, const RECT& cell, const std::u16string& text, bool rightAligned,
                  int shift);

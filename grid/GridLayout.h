#pragma once

#include <string>

#include "data/CellValue.h"
#include "data/FieldType.h"
#include "grid/GridRowSource.h"

struct ValueFormats;

// How the grid measures and marks its cells: pure functions of field kinds, values and the
// fonts' metrics. Geometry is in pixels; a grid line (GridLineWidth) follows every line and
// every column, the indicator column included.

constexpr int GridLineWidth = 1;

// A field's display width in characters, by its kind.
int DisplayWidth(TFieldType type, int size, int precision);
// A new column's width: the display width in digit-zero widths of the cell font, and room for
// the title.
int ColumnWidth(int displayWidth, int zeroWidth, int overhang, int titleWidth);
// A column width within the range every column keeps to, dragged or scaled.
int ClampColumnWidth(long long width);
// Heights of a data line and of the title line from the height of "Wg" in their fonts.
int DataLineHeight(int cellTextHeight);
int TitleLineHeight(int titleTextHeight);
// What a data cell shows: the value as text, or for long text and long bytes a marker of the
// kind, in capitals when there is a value: (MEMO), (Memo) when NULL.
std::u16string CellText(TFieldType type, const CellValue& value, const ValueFormats& formats);

// The indicator column's mark of the current row, by its state.
enum class GridMarker { None, Triangle, IBeam, Star };
GridMarker MarkerFor(GridRowState state);

#include "grid/GridLayout.h"

#include <algorithm>

#include "data/FieldText.h"

namespace {

// Drivers report unbounded text as sizes up to 2^30 characters. Capping a column keeps widths,
// their sums and the drawing coordinates well inside int, and still lets a 4000-character
// column start at its full width at any common density.
constexpr long long maxColumnWidth = 100000;
constexpr long long minColumnWidth = 4;

// SQLite declares text without a size ("TEXT", "VARCHAR"): the driver reports 0. Twenty
// characters is the size an unsized character field gets by default; it shows a name or a
// short note whole without letting one column crowd out the rest.
constexpr int unsizedTextWidth = 20;

} // namespace

int DisplayWidth(TFieldType type, int size, int precision) {
    switch (type) {
    case TFieldType::String:
    case TFieldType::WideString:
        return size > 0 ? size : unsizedTextWidth;
    case TFieldType::Largeint:
    case TFieldType::Variant:
        return 15;
    case TFieldType::Boolean:
        return 5;
    case TFieldType::DateTime:
        return 18;
    case TFieldType::Date:
    case TFieldType::Time:
        return 10;
    case TFieldType::Decimal:
        return precision > 0 ? precision + 1 : 10;
    case TFieldType::Guid:
        return 38;
    default:
        return 10;
    }
}

int ColumnWidth(int displayWidth, int zeroWidth, int overhang, int titleWidth) {
    long long width = (long long)displayWidth * (zeroWidth - overhang) + overhang + 4;
    return ClampColumnWidth(std::max(width, (long long)titleWidth + 4));
}

int ClampColumnWidth(long long width) {
    return int(std::clamp(width, minColumnWidth, maxColumnWidth));
}

int DataLineHeight(int cellTextHeight) {
    return cellTextHeight + 3 + GridLineWidth;
}

int TitleLineHeight(int titleTextHeight) {
    return titleTextHeight + 4;
}

std::u16string CellText(TFieldType type, const CellValue& value, const ValueFormats& formats) {
    bool null = value.tag == CellValue::Tag::Null;
    switch (type) {
    case TFieldType::Memo:
        return null ? u"(Memo)" : u"(MEMO)";
    case TFieldType::WideMemo:
        return null ? u"(WideMemo)" : u"(WIDEMEMO)";
    case TFieldType::Blob:
        return null ? u"(Blob)" : u"(BLOB)";
    default:
        return FieldValueText(type, value, formats);
    }
}

GridMarker MarkerFor(GridRowState state) {
    switch (state) {
    case GridRowState::Editing:
        return GridMarker::IBeam;
    case GridRowState::Inserting:
        return GridMarker::Star;
    default:
        return GridMarker::Triangle;
    }
}

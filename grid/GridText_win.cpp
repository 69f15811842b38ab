#include "grid/GridText_win.h"

#include <algorithm>
#include <climits>

#include <usp10.h>

#include "base/WideText_win.h"

namespace {

// Text beyond what a cell can show never reaches the screen; a very long value is cut well past
// the cell's edge so that drawing it does not lay out megabytes of glyphs.
int DrawnLength(const std::u16string& text, int cellWidth) {
    std::size_t length = std::min(text.size(), std::size_t(cellWidth) * 2 + 256);
    if (length < text.size() && length > 0 && IS_HIGH_SURROGATE(text[length - 1]))
        --length;
    return int(length);
}

// Hebrew, Arabic and the like need the script engine: it orders right-to-left runs and, where
// the font lacks a letter, borrows it from another font as the system's edit controls do.
bool NeedsScriptEngine(const wchar_t* text, int length) {
    return std::any_of(text, text + length, [](wchar_t c) { return c >= 0x0300; });
}

class ScriptString {
public:
    ScriptString(HDC dc, const wchar_t* text, int length) {
        if (length > 0 && FAILED(ScriptStringAnalyse(dc, text, length, length * 3 / 2 + 16, -1,
                                                     SSA_GLYPHS | SSA_FALLBACK, 0, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, &analysis_)))
            analysis_ = nullptr;
    }
    ~ScriptString() {
        if (analysis_)
            ScriptStringFree(&analysis_);
    }
    ScriptString(const ScriptString&) = delete;
    ScriptString& operator=(const ScriptString&) = delete;

    explicit operator bool() const { return analysis_ != nullptr; }
    int Width() const { return ScriptString_pSize(analysis_)->cx; }
    void Draw(int x, int y, const RECT& clip) const {
        ScriptStringOut(analysis_, x, y, ETO_CLIPPED, &clip, 0, 0, FALSE);
    }

private:
    SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
};

} // namespace

int TextWidth(HDC dc, std::u16string_view text) {
    auto chars = reinterpret_cast<const wchar_t*>(text.data());
    int length = int(std::min(text.size(), std::size_t(INT_MAX / 2)));
    if (NeedsScriptEngine(chars, length)) {
        ScriptString script(dc, chars, length);
        if (script)
            return script.Width();
    }
    SIZE size{};
    GetTextExtentPoint32W(dc, chars, length, &size);
    return size.cx;
}

void DrawCellText(HDC dc, const RECT& cell, const std::u16string& text, bool rightAligned,
                  int shift) {
    const wchar_t* chars = W(text);
    int length = DrawnLength(text, cell.right - cell.left);
    int y = cell.top + GridTextMargin + shift;
    if (NeedsScriptEngine(chars, length)) {
        ScriptString script(dc, chars, length);
        if (script) {
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
            int x = rightAligned ? cell.right - GridTextMargin - script.Width()
                                 : cell.left + GridTextMargin;
            int oldMode = SetBkMode(dc, TRANSPARENT);
            script.Draw(x + shift, y, cell);
            SetBkMode(dc, oldMode);
            return;
        }
    }
    SetTextAlign(dc, (rightAligned ? TA_RIGHT : TA_LEFT) | TA_TOP);
    int x = rightAligned ? cell.right - GridTextMargin : cell.left + GridTextMargin;
    ExtTextOutW(dc, x + shift, y, ETO_OPAQUE | ETO_CLIPPED, &cell, chars, UINT(length), nullptr);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

#pragma once

#include <cstdint>

enum TBiDiMode : std::uint8_t {
    bdLeftToRight,
    bdRightToLeft,
    bdRightToLeftNoAlign,
    bdRightToLeftReadingOnly
};

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// Extended window style bits that carry a control's reading direction (the Win32 values).
namespace BiDiExStyle {
constexpr std::uint32_t Right = 0x1000;         // WS_EX_RIGHT
constexpr std::uint32_t RtlReading = 0x2000;    // WS_EX_RTLREADING
constexpr std::uint32_t LeftScrollBar = 0x4000; // WS_EX_LEFTSCROLLBAR
constexpr std::uint32_t All = Right | RtlReading | LeftScrollBar;
} // namespace BiDiExStyle

// A control's bidirectional mode and whether it follows its parent's. The setters report
// whether the native window must re-apply reading order, alignment and scroll-bar side.
class BiDiSettings {
public:
    TBiDiMode Mode() const { return mode_; }
    bool ParentBiDiMode() const { return parentBiDiMode_; }

    // An unchanged mode is ignored; a new one stops following the parent.
    bool SetMode(TBiDiMode mode);
    // Following the parent again adopts the parent's mode.
    bool SetParentBiDiMode(bool follow, TBiDiMode parentMode);

    // Nothing is right-to-left unless the system-locale description's middle-east flag is set.
    bool UseRightToLeftReading(bool middleEast) const;
    bool UseRightToLeftAlignment(bool middleEast) const;
    // The alignment the text is drawn with: left and right swap while the alignment is
    // right-to-left, so a left-justified caption stands against the right edge.
    TAlignment DrawnAlignment(TAlignment alignment, bool middleEast) const;
    // The right-to-left extended style bits for this mode.
    std::uint32_t ExStyleBits(TAlignment alignment, bool middleEast) const;

private:
    TBiDiMode mode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
};

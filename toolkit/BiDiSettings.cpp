#include "toolkit/BiDiSettings.h"

bool BiDiSettings::SetMode(TBiDiMode mode) {
    if (mode == mode_)
        return false;
    mode_ = mode;
    parentBiDiMode_ = false;
    return true;
}

bool BiDiSettings::SetParentBiDiMode(bool follow, TBiDiMode parentMode) {
    if (follow == parentBiDiMode_)
        return false;
    parentBiDiMode_ = follow;
    if (!follow || parentMode == mode_)
        return false;
    mode_ = parentMode;
    return true;
}

bool BiDiSettings::UseRightToLeftReading(bool middleEast) const {
    return middleEast && mode_ != bdLeftToRight;
}

bool BiDiSettings::UseRightToLeftAlignment(bool middleEast) const {
    return middleEast && mode_ == bdRightToLeft;
}

TAlignment BiDiSettings::DrawnAlignment(TAlignment alignment, bool middleEast) const {
    if (!UseRightToLeftAlignment(middleEast) || alignment == taCenter)
        return alignment;
    return alignment == taLeftJustify ? taRightJustify : taLeftJustify;
}

std::uint32_t BiDiSettings::ExStyleBits(TAlignment alignment, bool middleEast) const {
    if (!UseRightToLeftReading(middleEast))
        return 0;
    std::uint32_t bits = BiDiExStyle::RtlReading;
    if (mode_ == bdRightToLeft || mode_ == bdRightToLeftNoAlign)
        bits |= BiDiExStyle::LeftScrollBar;
    if (DrawnAlignment(alignment, middleEast) == taRightJustify && alignment != taRightJustify)
        bits |= BiDiExStyle::Right;
    return bits;
}

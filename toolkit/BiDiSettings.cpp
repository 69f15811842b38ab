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

std::uint32_t BiDiSettings::ExStyleBits(TAlignment alignment, bool middleEast) const {
    if (!middleEast || mode_ == bdLeftToRight)
        return 0;
    std::uint32_t bits = BiDiExStyle::RtlReading;
    if (mode_ == bdRightToLeft || mode_ == bdRightToLeftNoAlign)
        bits |= BiDiExStyle::LeftScrollBar;
    // A left-justified control in full right-to-left mode is drawn against its right edge.
    if (mode_ == bdRightToLeft && alignment == taLeftJustify)
        bits |= BiDiExStyle::Right;
    return bits;
}

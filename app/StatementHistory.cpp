#include "app/StatementHistory.h"

#include <algorithm>

void StatementHistory::Push(const TStringList& lines) {
    std::move_backward(slots_.begin(), slots_.end() - 1, slots_.end());
    slots_.front() = lines;
    position_ = 1;
}

std::optional<StatementHistory::View> StatementHistory::Older() {
    if (position_ >= SlotCount)
        return std::nullopt;
    ++position_;
    return View{Slot(position_), position_};
}

// The counter never shows 0: leaving slot 1 for the empty editor keeps its "1".
StatementHistory::View StatementHistory::Newer() {
    if (position_ <= 1) {
        position_ = 0;
        return View{{}, std::nullopt};
    }
    --position_;
    return View{Slot(position_), position_};
}

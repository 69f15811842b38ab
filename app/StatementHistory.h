#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using TStringList = std::vector<std::u16string>;

// The last ten statements run, newest in slot 1, and the position the history buttons have
// reached (0: nothing recalled). Slots hold their own copies of the editor's displayed lines.
class StatementHistory {
public:
    static constexpr int SlotCount = 10;

    // What the editor and the counter label are to show after a step; no counter means the
    // label keeps its text.
    struct View {
        TStringList editorLines;
        std::optional<std::int32_t> counter;
    };

    // Stores the lines as slot 1, moving the others one slot older, and returns to slot 1.
    void Push(const TStringList& lines);
    // One slot older; nothing changes at slot 10.
    std::optional<View> Older();
    // One slot newer; from slot 1 or before the first step, an empty editor.
    View Newer();

    std::int32_t Position() const { return position_; }
    const TStringList& Slot(int slot) const {
        return slots_.at(static_cast<std::size_t>(slot - 1));
    }

private:
    std::array<TStringList, SlotCount> slots_;
    std::int32_t position_ = 0;
};

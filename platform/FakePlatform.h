#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

// A platform for native tests and benchmarks, set up through its members: a clock that
// stands still, the formats Windows reports for an English (United States) user, patterns
// rendered with English names and day halves, Latin-1 for 8-bit text ("?" for what it lacks),
// and a user interface that only records what it was asked.
class FakePlatform : public Platform {
public:
    TDateTime now{2024, 3, 5, 10, 30, 15};
    TFormatSettings formats{u"M/d/yyyy", u"h:mm:ss tt", u'.'};

    bool busy = false;
    std::u16string clipboard;
    std::vector<std::u16string> notices;
    std::vector<std::u16string> keyboardLayouts;

    TDateTime LocalNow() const override { return now; }
    const TFormatSettings& Formats() const override { return formats; }
    std::u16string FormatDate(const TDateTime& date, const std::u16string& pattern) const override;
    std::u16string FormatTime(const TDateTime& time, const std::u16string& pattern) const override;
    std::u16string EightBitToText(std::string_view bytes) const override;
    std::string TextToEightBit(std::u16string_view text) const override;
    void SetBusyCursor(bool isBusy) noexcept override { busy = isBusy; }
    void PutOnClipboard(std::u16string_view text) override { clipboard = text; }
    void ShowNotice(const std::u16string& text) override { notices.push_back(text); }
    void UseKeyboardLayout(const std::u16string& layoutId) override {
        keyboardLayouts.push_back(layoutId);
    }
};

#pragma once

#include <string>
#include <utility>

#include <windows.h>

#include "platform/Platform.h"

// Windows' own services, as the product has them. The formats are the program's view of them
// (FormatSettings, Runtime_win.h) and 8-bit text uses its default code page
// (DefaultSystemCodePage), so both follow the Hebrew set-up and the user's later changes.
//
// The clipboard is opened, and notices are owned, by `owner`: the window on whose behalf they
// are used. Without one a notice is modal to the whole task, and the clipboard cannot take
// text (Windows gives text only to a clipboard opened by a window). Notices are titled
// `noticeTitle`.
class WinPlatform : public Platform {
public:
    explicit WinPlatform(HWND owner = nullptr, std::u16string noticeTitle = {})
        : owner_(owner), noticeTitle_(std::move(noticeTitle)) {}

    TDateTime LocalNow() const override;
    const TFormatSettings& Formats() const override;
    std::u16string FormatDate(const TDateTime& date, const std::u16string& pattern) const override;
    std::u16string FormatTime(const TDateTime& time, const std::u16string& pattern) const override;
    std::u16string EightBitToText(std::string_view bytes) const override;
    std::string TextToEightBit(std::u16string_view text) const override;
    void SetBusyCursor(bool busy) noexcept override;
    void PutOnClipboard(std::u16string_view text) override;
    void ShowNotice(const std::u16string& text) override;
    void UseKeyboardLayout(const std::u16string& layoutId) override;

private:
    HWND owner_;
    std::u16string noticeTitle_;
};

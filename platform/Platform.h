#pragma once

#include <string>
#include <string_view>

#include "base/DateTime.h"
#include "base/FormatSettings.h"

// Everything the program asks of the operating system, behind one interface. The product
// has Windows' own services (WinPlatform, Platform_win.h); native tests have a small fake
// (FakePlatform.h). Code that needs a service takes a Platform from its caller.
class Platform {
public:
    virtual ~Platform() = default;

    // The local date and time now.
    virtual TDateTime LocalNow() const = 0;

    // The user's regional formats as the program knows them: read at start-up and again when
    // the user changes them. The reference stays valid while the platform lives and always
    // shows the current formats, so a holder of it follows the user's changes.
    virtual const TFormatSettings& Formats() const = 0;

    // A date or a time rendered with a regional pattern ("M/d/yyyy", "h:mm:ss tt") as the
    // user's own locale renders it (its month and day names, day halves and calendar),
    // whatever the thread locale. Text in apostrophes is literal. Empty when the platform
    // cannot render the value.
    virtual std::u16string FormatDate(const TDateTime& date,
                                      const std::u16string& pattern) const = 0;
    virtual std::u16string FormatTime(const TDateTime& time,
                                      const std::u16string& pattern) const = 0;

    // 8-bit text in the process's default code page, to UTF-16 and back, converted as the
    // system converts it: a character the code page lacks becomes a similar one where the
    // system knows one, else the code page's default character ("?").
    virtual std::u16string EightBitToText(std::string_view bytes) const = 0;
    virtual std::string TextToEightBit(std::u16string_view text) const = 0;

    // The mouse cursor of the whole application: the hour-glass while busy, else the default.
    virtual void SetBusyCursor(bool busy) noexcept = 0;
    // Replaces the clipboard's contents with `text` as Unicode text. Raises Exception when the
    // clipboard cannot be had; its contents are then unchanged.
    virtual void PutOnClipboard(std::u16string_view text) = 0;
    // A modal box with `text`, titled with the application's title, with OK only and no icon;
    // returns once the user has closed it.
    virtual void ShowNotice(const std::u16string& text) = 0;
    // Loads the keyboard layout `layoutId` ("0000040D") and makes it the thread's active one.
    // A layout that cannot be loaded leaves the active one as it was, and nothing is reported.
    virtual void UseKeyboardLayout(const std::u16string& layoutId) = 0;
};

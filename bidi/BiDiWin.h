#pragma once

#include <cstdint>
#include <functional>

#include "base/Object.h"
#include "platform/Platform.h"

// The right-to-left library's language environment: the language type, the decisions about
// the Hebrew environment and the keyboard-layout switch. The process-wide facts the controls
// consult and the set-up itself are the Windows build's (BiDiWin_win.h).

enum TLanguage : std::uint8_t { ltEnglish = 0, ltHebrew = 1 };

using TLanguageChangeNotify = std::function<void(TObject* Sender, TLanguage Language)>;

constexpr std::uint16_t HebrewLocaleID = 1037; // 0x040D: Hebrew, default sort
constexpr const char16_t* HebrewKeyboard = u"0000040D";
constexpr const char16_t* EnglishKeyboard = u"00000409";

// Indexed by "the control is right-to-left".
constexpr TLanguage RightToLeftLanguage[2] = {ltEnglish, ltHebrew};

// The process runs in a Hebrew environment on systems with Middle-East support, and on every
// system whose workstation query reports a major version of 6 or more.
constexpr bool HebrewEnvironmentWanted(bool biDiSystem, std::uint16_t osMajorVersion) {
    return biDiSystem || osMajorVersion >= 6;
}

// What the Hebrew set-up writes into the run-time's system-locale description. The primary
// and sub-language are fixed values, not derived from the locale identifier.
constexpr std::uint32_t HebrewPrimaryLanguage = 13;
constexpr std::uint32_t HebrewSubLanguage = 0;
constexpr std::uint32_t HebrewCodePage = 1255;

// Activates the Hebrew keyboard layout for ltHebrew and the US English one for every other
// value.
void SwitchKeyboard(Platform& platform, TLanguage Language);

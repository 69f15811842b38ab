#pragma once

#include <cstdint>
#include <functional>

#include "base/Object.h"

// The right-to-left library's language environment: the language type, the process-wide
// facts the controls consult, the keyboard-layout switch and the About box.

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

// --- Platform operations, implemented for Windows in BiDiWin_win.cpp ---

extern bool BiDiSystem;
extern std::uint16_t OSMajorVersion;

// Load-time initialisation: records the facts above and runs the Hebrew set-up when wanted.
void InitializeBiDiWin();

bool DetectBiDiSystem();
bool IsBiDiSystem();
std::int32_t GetOSMajorVersion();
void SetHebrewEnvironment();
void SwitchKeyboard(TLanguage Language);
void ShowAboutBox();

// Where SwitchKeyboard sends a layout identifier; the system's loader unless replaced (tests
// observe the switch through it). Returns the previous loader.
using KeyboardLayoutLoader = void (*)(const char16_t* layoutId);
KeyboardLayoutLoader SetKeyboardLayoutLoader(KeyboardLayoutLoader loader);

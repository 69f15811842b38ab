#include "bidi/BiDiWin_win.h"

#include <windows.h>

// after <windows.h>, which it relies on
#include <lm.h>

#include "base/Runtime_win.h"

bool BiDiSystem = false;
std::uint16_t OSMajorVersion = 0;

void InitializeBiDiWin() {
    BiDiSystem = DetectBiDiSystem();
    OSMajorVersion = static_cast<std::uint16_t>(GetOSMajorVersion());
    if (HebrewEnvironmentWanted(IsBiDiSystem(), OSMajorVersion))
        SetHebrewEnvironment();
}

bool DetectBiDiSystem() {
    return GetSystemMetrics(SM_MIDEASTENABLED) > 0;
}

bool IsBiDiSystem() {
    return BiDiSystem;
}

std::int32_t GetOSMajorVersion() {
    LPBYTE buffer = nullptr;
    std::int32_t major = 0;
    if (NetWkstaGetInfo(nullptr, 100, &buffer) == NERR_Success)
        major =
            static_cast<std::int32_t>(reinterpret_cast<WKSTA_INFO_100*>(buffer)->wki100_ver_major);
    // A failed call may still have handed back a buffer.
    if (buffer)
        NetApiBufferFree(buffer);
    return major;
}

void SetHebrewEnvironment() {
    SysLocale.DefaultLCID = HebrewLocaleID;
    SysLocale.PriLangID = HebrewPrimaryLanguage;
    SysLocale.SubLangID = HebrewSubLanguage;
    SysLocale.FarEast = false;
    SysLocale.MiddleEast = true;
    SetThreadLocale(HebrewLocaleID);
    DefaultSystemCodePage = HebrewCodePage;
}

void ShowAboutBox() {
    MessageBoxW(nullptr, L"Right-to-left controls for Qrydesk, by the Qrydesk developers.",
                L"Qrydesk BiDi Controls", MB_OK);
}

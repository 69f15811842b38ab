#pragma once

#include <cstdint>

#include "bidi/BiDiWin.h"

// The language environment's process-wide facts, recorded by the load-time initialisation and
// read-only afterwards: Middle-East support, and the workstation's major version (0 when the
// query failed).
extern bool BiDiSystem;
extern std::uint16_t OSMajorVersion;

// Load-time initialisation: records the facts above and runs the Hebrew set-up when wanted.
void InitializeBiDiWin();

bool DetectBiDiSystem();
bool IsBiDiSystem();
std::int32_t GetOSMajorVersion();
// Makes the process Hebrew: the system-locale description, the thread locale (1037) and the
// default 8-bit code page (1255). The user's formats stay as they were.
void SetHebrewEnvironment();
void ShowAboutBox();

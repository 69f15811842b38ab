#pragma once

// The ODBC API, as every part of the ODBC driver includes it.
#ifdef _WIN32
// The Windows ODBC headers are written on top of the Windows base types.
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide text must be UTF-16");

// Our text as the API's wide-character argument.
inline SQLWCHAR* Wide(char16_t* text) {
    return reinterpret_cast<SQLWCHAR*>(text);
}

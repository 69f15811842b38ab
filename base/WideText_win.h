#pragma once

#include <string>
#include <string_view>

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

// The API edge: our UTF-16 text as the Win32 wide-character type and back.
inline const wchar_t* W(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const wchar_t* W(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
inline std::u16string U16(const wchar_t* text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
inline std::u16string U16(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// The text of a window (caption of a form, button or label; content of an edit).
std::u16string WindowText(HWND window);

#include "platform/Platform_win.h"

#include <algorithm>
#include <climits>

#include "base/Exception.h"
#include "base/Runtime_win.h"
#include "base/WideText_win.h"

namespace {

SYSTEMTIME ToSystemTime(const TDateTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wMilliseconds = static_cast<WORD>(t.millisecond);
    return st;
}

int CheckedLength(std::size_t size) {
    if (size > INT_MAX)
        throw Exception(u"The text is too long to convert.");
    return static_cast<int>(size);
}

// Another program may hold the clipboard for a moment; give it that moment before failing.
bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(10);
    }
    return false;
}

} // namespace

TDateTime WinPlatform::LocalNow() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

const TFormatSettings& WinPlatform::Formats() const {
    return FormatSettings;
}

// The user's locale, not the thread's: the Hebrew set-up changes the thread locale, and dates
// must keep the user's own names and calendar.
std::u16string WinPlatform::FormatDate(const TDateTime& date, const std::u16string& pattern) const {
    SYSTEMTIME st = ToSystemTime(date);
    wchar_t text[256];
    int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, W(pattern), text, 256, nullptr);
    return length > 0 ? U16(text) : std::u16string();
}

std::u16string WinPlatform::FormatTime(const TDateTime& time, const std::u16string& pattern) const {
    SYSTEMTIME st = ToSystemTime(time);
    wchar_t text[256];
    int length = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, W(pattern), text, 256);
    return length > 0 ? U16(text) : std::u16string();
}

std::u16string WinPlatform::EightBitToText(std::string_view bytes) const {
    if (bytes.empty())
        return {};
    int sourceLength = CheckedLength(bytes.size());
    int length =
        MultiByteToWideChar(DefaultSystemCodePage, 0, bytes.data(), sourceLength, nullptr, 0);
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(DefaultSystemCodePage, 0, bytes.data(), sourceLength,
                        reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
}

// No flags and no default character of our own: the code page's own replacements apply.
std::string WinPlatform::TextToEightBit(std::u16string_view text) const {
    if (text.empty())
        return {};
    auto source = reinterpret_cast<const wchar_t*>(text.data());
    int sourceLength = CheckedLength(text.size());
    int length = WideCharToMultiByte(DefaultSystemCodePage, 0, source, sourceLength, nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(DefaultSystemCodePage, 0, source, sourceLength, out.data(), length, nullptr,
                        nullptr);
    return out;
}

void WinPlatform::SetBusyCursor(bool busy) noexcept {
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void WinPlatform::PutOnClipboard(std::u16string_view text) {
    // The memory is filled before the clipboard is opened, so that it is held only briefly.
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    if (!memory)
        throw Exception(u"Out of memory");
    auto target = static_cast<char16_t*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), target);
    target[text.size()] = u'\0';
    GlobalUnlock(memory);

    if (!OpenClipboardPatiently(owner_)) {
        GlobalFree(memory);
        throw Exception(u"Cannot open clipboard");
    }
    // Once set, the memory belongs to the system.
    bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    if (!placed) {
        GlobalFree(memory);
        throw Exception(u"Cannot put the text on the clipboard");
    }
}

void WinPlatform::ShowNotice(const std::u16string& text) {
    MessageBoxW(owner_, W(text), W(noticeTitle_), MB_OK | (owner_ ? 0 : MB_TASKMODAL));
}

void WinPlatform::UseKeyboardLayout(const std::u16string& layoutId) {
    LoadKeyboardLayoutW(W(layoutId), KLF_ACTIVATE);
}

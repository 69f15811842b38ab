#include "app/CopyPlatform_win.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/WideText_win.h"
#include "toolkit/Application_win.h"

namespace {

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

void WinCopyPlatform::SetBusyCursor(bool busy) noexcept {
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void WinCopyPlatform::PutOnClipboard(std::u16string_view text) {
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

void WinCopyPlatform::ShowNotice(const std::u16string& text) {
    MessageBoxW(owner_, W(text), W(Application.Title()), MB_OK | (owner_ ? 0 : MB_TASKMODAL));
}

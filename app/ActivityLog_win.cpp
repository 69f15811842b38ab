#include "app/ActivityLog_win.h"

#include <memory>
#include <type_traits>

#include <windows.h>

#include "app/ActivityLogText.h"
#include "base/WideText_win.h"

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// Other copies of the program may write the same day's file. A writer holds it alone for
// the moment of one entry (others may only read), so entries never interleave or overwrite
// each other even where appending is not atomic; the others wait their turn briefly. A file
// held longer, or one that cannot be written, loses the entry.
FileHandle OpenForAppending(const std::u16string& name) {
    // Holding the file takes microseconds, but under load (Wine's one server for every
    // process) a waiting writer may not be scheduled for a good part of a second; a whole
    // second keeps its entry without a wait anyone would notice otherwise.
    const ULONGLONG patience = 1000; // milliseconds
    ULONGLONG deadline = GetTickCount64() + patience;
    for (;;) {
        HANDLE file = CreateFileW(W(name), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return FileHandle(file);
        if (GetLastError() != ERROR_SHARING_VIOLATION || GetTickCount64() >= deadline)
            return nullptr;
        Sleep(1);
    }
}

} // namespace

void AppendLogEntry(const Platform& platform, std::u16string_view message) noexcept {
    try {
        std::u16string name = LogFileName(platform.LocalNow());
        FileHandle file = OpenForAppending(name);
        if (!file)
            return;
        TDateTime now = platform.LocalNow();
        const TFormatSettings& formats = platform.Formats();
        std::string bytes = platform.TextToEightBit(
            LogLine(now, platform.FormatDate(now, formats.ShortDateFormat),
                    platform.FormatTime(now, formats.LongTimeFormat), message));
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } catch (...) {
    }
}

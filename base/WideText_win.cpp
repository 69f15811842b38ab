#include "base/WideText_win.h"

#include "base/Runtime.h"

std::u16string WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string ToEightBit(std::u16string_view text) {
    if (text.empty())
        return {};
    auto source = reinterpret_cast<const wchar_t*>(text.data());
    int sourceLength = static_cast<int>(text.size());
    int length = WideCharToMultiByte(DefaultSystemCodePage, 0, source, sourceLength, nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(DefaultSystemCodePage, 0, source, sourceLength, out.data(), length, nullptr,
                        nullptr);
    return out;
}

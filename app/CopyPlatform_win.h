#pragma once

#include <windows.h>

#include "app/CopyText.h"

// The clipboard, the notice box and the application's cursor as the product has them. The
// clipboard is opened and the notice shown on behalf of `owner`.
class WinCopyPlatform final : public CopyPlatform {
public:
    explicit WinCopyPlatform(HWND owner) : owner_(owner) {}
    void SetBusyCursor(bool busy) noexcept override;
    void PutOnClipboard(std::u16string_view text) override;
    void ShowNotice(const std::u16string& text) override;

private:
    HWND owner_;
};

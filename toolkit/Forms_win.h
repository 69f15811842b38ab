#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "toolkit/Control_win.h"
#include "toolkit/Gdi_win.h"

// A top-level window with a fixed single border, laid out in design pixels at 96 dpi and
// scaled as a whole to the density of the monitor it is on. It owns its controls.
class TForm : public TWindow {
public:
    struct Design {
        std::u16string caption;
        int clientWidth;
        int clientHeight;
        const wchar_t* fontName;
        int fontHeight; // pixels at 96 dpi, negative for character height
    };

    // `platform` serves the form and its controls, and must outlive them; without one, the
    // form has Windows' own services on its behalf (its clipboard and its notices).
    explicit TForm(const Design& design, Platform* platform = nullptr);
    ~TForm() override;

    Platform& Services() const { return *platform_; }

    // Creates a control owned by the form.
    template <class T, class... Args> T* Make(Args&&... args) {
        auto control = std::make_unique<Window<T>>(this, std::forward<Args>(args)...);
        T* result = control.get();
        owned_.push_back(std::move(control));
        return result;
    }

    int Dpi() const { return dpi_; }
    int Scale(int designPixels) const;
    HFONT Font() const { return font_; }
    TBiDiMode BiDiMode() const { return bdLeftToRight; }
    const std::vector<TControl*>& Controls() const { return controls_; }

    // Finishes loading: every control's after-loading step, then the tab order.
    void Loaded();
    void FocusFirstControl();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    // Asked when the user closes the window; false keeps it open.
    std::function<bool()> OnCloseQuery;

protected:
    // Run the creation and destruction handlers; an error in either goes to the default
    // error report and creation or destruction carries on.
    void DoCreate();
    void DoDestroy();
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class TControl;
    void Insert(TControl* control) { controls_.push_back(control); }
    void RunReported(const TNotifyEvent& handler);
    void ApplyDpi(int dpi, const RECT* suggested);
    void SortTabOrder();

    int dpi_ = 96;
    GdiObject<HFONT> font_;
    Design design_;
    std::unique_ptr<Platform> ownPlatform_;
    Platform* platform_;
    HWND focusBeforeDeactivation_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<std::unique_ptr<TControl>> owned_;
};

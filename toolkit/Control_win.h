#pragma once

#include <functional>
#include <string>
#include <utility>

#include <windows.h>

#include "base/Object.h"
#include "toolkit/BiDiSettings.h"

class TForm;

using TNotifyEvent = std::function<void(TObject* Sender)>;
// Hears each typed character before the control handles it; setting Key to 0 swallows it.
using TKeyPressEvent = std::function<void(TObject* Sender, char16_t& Key)>;

// A native window with its window procedure forwarded to a member. An error escaping a
// handler stops here and goes to the application's default error report, so nothing
// unwinds into Windows.
//
// Every window object is created as a Window<T> (below), which ends the native window before
// any part of the object is destroyed. Destroying a window sends messages (focus leaving,
// WM_DESTROY to it and to its children), and those must reach a whole object.
class TWindow : public TObject {
public:
    // Only a fallback: stops dispatching to this object, then destroys its native window.
    ~TWindow() override;

    HWND Handle() const { return handle_; }
    static TWindow* FromHandle(HWND window);

protected:
    // One of our own window classes, registered on first use.
    static void RegisterOwnClass(const wchar_t* className, HCURSOR cursor, HBRUSH background);
    // Creates the window. A system class (EDIT, BUTTON, ...) is subclassed; our own classes
    // reach WndProc from their first message.
    void CreateNativeWindow(const wchar_t* className, const wchar_t* text, DWORD style,
                            DWORD exStyle, int x, int y, int width, int height, HWND parent);
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

private:
    template <class T> friend class Window;
    void DestroyNativeWindow();
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();
    friend LRESULT CALLBACK OwnClassProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    HWND handle_ = nullptr;
    bool subclassed_ = false;
};

// A child control of a form. Bounds are design pixels at 96 dpi; the form scales them to the
// monitor's density.
class TControl : public TWindow {
public:
    explicit TControl(TForm* owner);

    TForm* Owner() const { return owner_; }

    void SetBounds(int left, int top, int width, int height);
    RECT DesignBounds() const { return bounds_; }
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int tabOrder) { tabOrder_ = tabOrder; }
    bool TabStop() const;

    std::u16string Text() const;
    void SetText(const std::u16string& text);

    TBiDiMode BiDiMode() const { return bidi_.Mode(); }
    // Ignores an unchanged mode; otherwise stops following the parent's mode and re-applies
    // reading order, alignment and scroll-bar side on the native window.
    virtual void SetBiDiMode(TBiDiMode mode);
    bool ParentBiDiMode() const { return bidi_.ParentBiDiMode(); }
    void SetParentBiDiMode(bool follow);
    const BiDiSettings& BiDi() const { return bidi_; }

    // Runs once after the form has applied every stored setting of the control.
    virtual void Loaded() {}
    // Places the native window and sets its font for the form's current density.
    virtual void ApplyScale();
    // A WM_COMMAND notification that the control sent to its form.
    virtual void Notify(WORD code) { (void)code; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    void CreateControl(const wchar_t* className, DWORD style, DWORD exStyle);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The toolkit's enter and exit steps: raise OnEnter and OnExit.
    virtual void DoEnter();
    virtual void DoExit();
    virtual TAlignment ControlsAlignment() const { return taLeftJustify; }
    virtual void BiDiModeChanged();

private:
    TForm* owner_;
    RECT bounds_{};
    int tabOrder_ = -1;
    BiDiSettings bidi_;
};

// A control of our own window class that paints itself, with nothing erased beforehand.
class TCustomControl : public TControl {
protected:
    TCustomControl(TForm* owner, const wchar_t* className, DWORD style, DWORD exStyle);
    virtual void Paint(HDC dc, const RECT& client) = 0;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The concrete type of every window object: the most derived destructor, so the native window
// and its children go while every member of T still lives.
template <class T> class Window final : public T {
public:
    template <class... Args> explicit Window(Args&&... args) : T(std::forward<Args>(args)...) {}
    ~Window() override { this->DestroyNativeWindow(); }
};

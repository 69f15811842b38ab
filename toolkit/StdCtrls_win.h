#pragma once

#include <string>
#include <vector>

#include "toolkit/Control_win.h"

// A painted caption that sizes itself to its text and never takes the focus.
class TCustomLabel : public TCustomControl {
public:
    explicit TCustomLabel(TForm* owner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    void ApplyScale() override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    TAlignment ControlsAlignment() const override { return alignment_; }

private:
    UINT DrawFlags() const;
    void Paint(HDC dc, const RECT& client) override;
    void AdjustBounds();

    TAlignment alignment_ = taLeftJustify;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

class TCustomEdit : public TControl {
public:
    explicit TCustomEdit(TForm* owner);
    void SetPasswordChar(char16_t character);
    TKeyPressEvent OnKeyPress;

protected:
    TCustomEdit(TForm* owner, DWORD extraStyle);
    void BiDiModeChanged() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A multi-line editor: word wrap, no scroll bars; Enter breaks the line and Tab moves on.
class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TForm* owner);

    // The rows as the editor displays them, word wrap included. An empty last row does not
    // count, so an empty editor has no lines.
    std::vector<std::u16string> Lines() const;
    // Replaces the whole content: each string becomes one line.
    void SetLines(const std::vector<std::u16string>& lines);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TButton : public TControl {
public:
    explicit TButton(TForm* owner);
    void Notify(WORD code) override;
    TNotifyEvent OnClick;

protected:
    TAlignment ControlsAlignment() const override { return taCenter; }
};

// A list to pick from; its value cannot be typed.
class TCustomComboBox : public TControl {
public:
    explicit TCustomComboBox(TForm* owner);

    void AddItem(const std::u16string& item);
    int ItemCount() const;
    std::u16string Item(int index) const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    void ApplyScale() override;
};

// A flat button that never takes the keyboard focus.
class TToolButton : public TCustomControl {
public:
    explicit TToolButton(TForm* owner);
    TNotifyEvent OnClick;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc, const RECT& client) override;
    bool pressed_ = false;
    bool tracking_ = false;
};

#pragma once

#include "bidi/BiDiWin_win.h"
#include "toolkit/Forms_win.h"
#include "toolkit/StdCtrls_win.h"

// Right-to-left capable controls. Each starts with Hebrew taken from the language
// environment; a stored form then sets the mode, Hebrew and the inherit flag in that order.
//
// The edit, memo and combo box are the system's own controls, so they follow the active
// visual style exactly as the standard ones do; nothing needs registering for that.

// Hebrew switches the control between right-to-left and left-to-right; About shows the
// library's About box when True is written.
template <class Base, bool LeftJustifyWhenHebrew> class TBiDiSwitch : public Base {
public:
    bool Hebrew() const { return FHebrew; }
    void SetHebrew(bool value) {
        if (value == FHebrew)
            return;
        FHebrew = value;
        this->SetBiDiMode(value ? bdRightToLeft : bdLeftToRight);
        if constexpr (LeftJustifyWhenHebrew)
            if (value)
                this->SetAlignment(taLeftJustify);
    }

    bool About() const { return FAbout; }
    void SetAbout(bool value) {
        if (value)
            ShowAboutBox();
    }

protected:
    explicit TBiDiSwitch(TForm* AOwner) : Base(AOwner) { SetHebrew(IsBiDiSystem()); }

private:
    bool FAbout = false;
    bool FHebrew = false;
};

// Entering the control switches the keyboard to the layout of its reading direction;
// an input-language change is reported through OnLangChange.
template <class Base> class TBiDiInput : public TBiDiSwitch<Base, false> {
public:
    TLanguageChangeNotify OnLangChange;

protected:
    using TBiDiSwitch<Base, false>::TBiDiSwitch;

    virtual void LanguageChange(TLanguage Language) {
        if (OnLangChange)
            OnLangChange(this, Language);
    }

    // The decision follows the native window's style, not Hebrew.
    void DoEnter() override {
        auto exStyle = GetWindowLongPtrW(this->Handle(), GWL_EXSTYLE);
        SwitchKeyboard(this->Owner()->Services(),
                       RightToLeftLanguage[(exStyle & (WS_EX_RIGHT | WS_EX_RTLREADING)) != 0]);
        Base::DoEnter();
    }

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_INPUTLANGCHANGE)
            return Base::WndProc(message, wParam, lParam);
        LRESULT result = Base::WndProc(message, wParam, lParam);
        LanguageChange(LOWORD(lParam) == HebrewLocaleID ? ltHebrew : ltEnglish);
        return result;
    }
};

class TBiDiCustomLabel : public TBiDiSwitch<TCustomLabel, true> {
public:
    explicit TBiDiCustomLabel(TForm* AOwner) : TBiDiSwitch(AOwner) {}
    // A label that is Hebrew after loading is left-justified, whatever was stored.
    void Loaded() override;
};
class TBiDiLabel : public TBiDiCustomLabel {
public:
    using TBiDiCustomLabel::TBiDiCustomLabel;
};

class TBiDiCustomEdit : public TBiDiInput<TCustomEdit> {
public:
    explicit TBiDiCustomEdit(TForm* AOwner) : TBiDiInput(AOwner) {}
};
class TBiDiEdit : public TBiDiCustomEdit {
public:
    using TBiDiCustomEdit::TBiDiCustomEdit;
};

class TBiDiCustomMemo : public TBiDiInput<TCustomMemo> {
public:
    explicit TBiDiCustomMemo(TForm* AOwner) : TBiDiInput(AOwner) {}
};
class TBiDiMemo : public TBiDiCustomMemo {
public:
    using TBiDiCustomMemo::TBiDiCustomMemo;
};

class TBiDiCustomComboBox : public TBiDiInput<TCustomComboBox> {
public:
    explicit TBiDiCustomComboBox(TForm* AOwner) : TBiDiInput(AOwner) {}
};
class TBiDiComboBox : public TBiDiCustomComboBox {
public:
    using TBiDiCustomComboBox::TBiDiCustomComboBox;
};

class TBiDiButton : public TBiDiSwitch<TButton, false> {
public:
    explicit TBiDiButton(TForm* AOwner) : TBiDiSwitch(AOwner) {}
};

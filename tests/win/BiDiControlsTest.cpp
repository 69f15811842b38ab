#include <gtest/gtest.h>

#include "TestSupport.h"
#include "bidi/BiDiCtrl_win.h"
#include "toolkit/Forms_win.h"

namespace {

const LONG_PTR kRtlBits = WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;

LONG_PTR RtlBits(TControl* control) {
    return GetWindowLongPtrW(control->Handle(), GWL_EXSTYLE) & kRtlBits;
}

class BiDiControlsTest : public ::testing::Test {
protected:
    KeyboardRecorder keyboard;
    Window<TForm> form{TForm::Design{u"BiDi", 400, 300, L"Tahoma", -11}, &keyboard};

    template <class T> T* Make() {
        T* control = form.Make<T>();
        control->SetBounds(10, 10, 120, 21);
        return control;
    }
};

// Without Middle-East support a new control keeps the toolkit's default: left-to-right,
// following its parent.
TEST_F(BiDiControlsTest, NewControlsStartLeftToRightFollowingTheParent) {
    ASSERT_FALSE(IsBiDiSystem());
    auto edit = Make<TBiDiEdit>();
    EXPECT_FALSE(edit->Hebrew());
    EXPECT_EQ(edit->BiDiMode(), bdLeftToRight);
    EXPECT_TRUE(edit->ParentBiDiMode());
}

TEST_F(BiDiControlsTest, HebrewSetsTheNativeWindowsReadingOrder) {
    struct Case {
        const char* kind;
        TControl* control;
        std::function<void(bool)> setHebrew;
        LONG_PTR rtlBits;
    };
    auto label = Make<TBiDiLabel>();
    auto edit = Make<TBiDiEdit>();
    auto memo = Make<TBiDiMemo>();
    auto button = Make<TBiDiButton>();
    auto combo = Make<TBiDiComboBox>();
    const LONG_PTR all = WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
    Case cases[] = {
        {"label", label, [&](bool v) { label->SetHebrew(v); }, all},
        {"edit", edit, [&](bool v) { edit->SetHebrew(v); }, all},
        {"memo", memo, [&](bool v) { memo->SetHebrew(v); }, all},
        {"button", button, [&](bool v) { button->SetHebrew(v); },
         WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR},
        {"combo box", combo, [&](bool v) { combo->SetHebrew(v); }, all},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.kind);
        c.setHebrew(true);
        EXPECT_EQ(c.control->BiDiMode(), bdRightToLeft);
        EXPECT_FALSE(c.control->ParentBiDiMode());
        EXPECT_EQ(RtlBits(c.control), c.rtlBits);
        c.setHebrew(false);
        EXPECT_EQ(c.control->BiDiMode(), bdLeftToRight);
        EXPECT_EQ(RtlBits(c.control), 0);
    }
    EXPECT_EQ(GetWindowLongPtrW(edit->Handle(), GWL_STYLE) & ES_RIGHT, 0);
}

TEST_F(BiDiControlsTest, UnchangedHebrewTouchesNothing) {
    auto edit = Make<TBiDiEdit>();
    edit->SetHebrew(false);
    EXPECT_TRUE(edit->ParentBiDiMode()) << "still following the parent";

    auto label = Make<TBiDiLabel>();
    label->SetHebrew(true);
    label->SetAlignment(taRightJustify);
    label->SetHebrew(true);
    EXPECT_EQ(label->Alignment(), taRightJustify);
}

TEST_F(BiDiControlsTest, LabelIsLeftJustifiedWhenMadeHebrewAndAfterLoading) {
    auto label = Make<TBiDiLabel>();
    label->SetAlignment(taRightJustify);
    label->SetHebrew(true);
    EXPECT_EQ(label->Alignment(), taLeftJustify);
    EXPECT_TRUE(RtlBits(label) & WS_EX_RIGHT) << "drawn against the right edge";

    label->SetHebrew(false);
    EXPECT_EQ(label->Alignment(), taLeftJustify) << "left-to-right keeps the alignment";

    label->SetHebrew(true);
    label->SetAlignment(taCenter);
    label->Loaded();
    EXPECT_EQ(label->Alignment(), taLeftJustify);
}

// A stored form sets the mode before Hebrew, so Hebrew wins.
TEST_F(BiDiControlsTest, StoredHebrewAfterAStoredModeMakesTheControlRightToLeft) {
    auto edit = Make<TBiDiEdit>();
    edit->SetBiDiMode(bdLeftToRight);
    edit->SetHebrew(true);
    edit->SetParentBiDiMode(false);
    EXPECT_EQ(edit->BiDiMode(), bdRightToLeft);
    EXPECT_TRUE(RtlBits(edit) & WS_EX_RTLREADING);
}

TEST_F(BiDiControlsTest, EnteringAControlAsksForTheLayoutOfItsReadingDirection) {
    auto english = Make<TBiDiEdit>();
    auto hebrew = Make<TBiDiMemo>();
    hebrew->SetHebrew(true);
    auto setDirectly = Make<TBiDiComboBox>();
    setDirectly->SetBiDiMode(bdRightToLeftReadingOnly); // Hebrew stays False
    auto button = Make<TBiDiButton>();
    int entered = 0;
    english->OnEnter = [&](TObject*) {
        // The layout is already switched when OnEnter runs.
        EXPECT_EQ(keyboard.layouts().back(), "00000409");
        ++entered;
    };
    ShowWindow(form.Handle(), SW_SHOWNORMAL);

    keyboard.layouts().clear();
    SetFocus(english->Handle());
    SetFocus(hebrew->Handle());
    SetFocus(setDirectly->Handle());
    SetFocus(button->Handle());
    SetFocus(english->Handle());
    EXPECT_EQ(keyboard.layouts(),
              (std::vector<std::string>{"00000409", "0000040D", "0000040D", "00000409"}));
    EXPECT_EQ(entered, 2);
}

TEST_F(BiDiControlsTest, InputLanguageChangeReportsHebrewOrEnglish) {
    auto edit = Make<TBiDiEdit>();
    std::vector<std::pair<TObject*, TLanguage>> reported;
    edit->OnLangChange = [&](TObject* sender, TLanguage language) {
        reported.emplace_back(sender, language);
    };
    for (LPARAM layout : {0x040D040D, 0x04090409, 0x04010401, 0x040C040C})
        SendMessageW(edit->Handle(), WM_INPUTLANGCHANGE, 0, layout);
    ASSERT_EQ(reported.size(), 4u);
    EXPECT_EQ(reported[0], std::make_pair(static_cast<TObject*>(edit), ltHebrew));
    EXPECT_EQ(reported[1].second, ltEnglish);
    EXPECT_EQ(reported[2].second, ltEnglish) << "Arabic";
    EXPECT_EQ(reported[3].second, ltEnglish) << "French";

    edit->OnLangChange = nullptr;
    SendMessageW(edit->Handle(), WM_INPUTLANGCHANGE, 0, 0x040D040D); // no handler: nothing
}

TEST_F(BiDiControlsTest, AboutShowsTheBoxEveryTimeAndReadsFalse) {
    auto button = Make<TBiDiButton>();
    MessageBoxWatcher watcher;
    button->SetAbout(true);
    button->SetAbout(false);
    button->SetAbout(true);
    EXPECT_FALSE(button->About());
    ASSERT_EQ(watcher.boxes.size(), 2u);
    EXPECT_EQ(watcher.boxes[0].caption, "Qrydesk BiDi Controls");
    EXPECT_FALSE(watcher.boxes[0].hasOwner);
}

} // namespace

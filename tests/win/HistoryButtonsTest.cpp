#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/DBXMain_win.h"

namespace {

struct HistoryForm : TMainForm {
    using TMainForm::PushMemory;
};

void Click(TControl* button) {
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

TEST(HistoryButtons, StepThroughStoredStatementsWithTheCounter) {
    Window<HistoryForm> form;
    form.eSQL->SetText(u"select 1");
    form.PushMemory();
    form.eSQL->SetText(u"update t\r\nset a = 2");
    form.PushMemory();
    form.eSQL->SetText(u"typed but never run");

    Click(form.bPrev);
    EXPECT_EQ(ToUtf8(form.eSQL->Text()), "select 1");
    EXPECT_EQ(ToUtf8(form.lCurrent->Text()), "2");
    Click(form.bNext);
    EXPECT_EQ(ToUtf8(form.eSQL->Text()), "update t\r\nset a = 2");
    EXPECT_EQ(ToUtf8(form.lCurrent->Text()), "1");
    Click(form.bNext);
    EXPECT_EQ(ToUtf8(form.eSQL->Text()), "");
    EXPECT_EQ(form.CurrentMem(), 0);
    EXPECT_EQ(ToUtf8(form.lCurrent->Text()), "1") << "the counter never shows 0";
}

TEST(HistoryButtons, WrappedLineComesBackWithABreakAtTheWrapPoint) {
    Window<HistoryForm> form;
    std::u16string longLine = u"select first_column, second_column, third_column, "
                              u"fourth_column, fifth_column from a_table_with_a_long_name";
    form.eSQL->SetText(longLine);
    auto displayed = form.eSQL->Lines();
    ASSERT_GE(displayed.size(), 2u);
    form.PushMemory();
    EXPECT_EQ(form.Memory.Slot(1), displayed);

    Click(form.bNext); // from slot 1 to the empty editor, then back onto slot 1
    EXPECT_EQ(ToUtf8(form.eSQL->Text()), "");
    Click(form.bPrev);
    std::u16string expected = displayed[0];
    for (std::size_t i = 1; i < displayed.size(); ++i)
        expected += u"\r\n" + displayed[i];
    EXPECT_EQ(ToUtf8(form.eSQL->Text()), ToUtf8(expected));
}

} // namespace

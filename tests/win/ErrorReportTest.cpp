#include <gtest/gtest.h>

#include <stdexcept>

#include "TestSupport.h"
#include "base/Exception.h"
#include "toolkit/Application_win.h"
#include "toolkit/Forms_win.h"
#include "toolkit/StdCtrls_win.h"

namespace {

const TForm::Design kDesign{u"Errors", 300, 200, L"Tahoma", -11};

class ErrorReportTest : public ::testing::Test {
protected:
    void Click(std::function<void()> handler) {
        button->OnClick = [handler](TObject*) { handler(); };
        // What the button sends its window when clicked.
        SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button->Handle()));
    }

    Window<TForm> form{kDesign};
    TButton* button = form.Make<TButton>();
};

TEST_F(ErrorReportTest, ErrorEscapingAHandlerShowsOneStopBoxTitledWithTheApplication) {
    ShowWindow(form.Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(form.Handle());
    MessageBoxWatcher watcher;
    Click([] { throw Exception(u"Login failed for user sa"); });
    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].text, "Login failed for user sa.");
    EXPECT_EQ(watcher.boxes[0].caption, "Qrydeskwintests");
    EXPECT_EQ(ToUtf8(Application.Title()), "Qrydeskwintests");
    EXPECT_TRUE(watcher.boxes[0].stopIcon);

    Click([] { throw Exception(u"Already complete."); });
    ASSERT_EQ(watcher.boxes.size(), 2u);
    EXPECT_EQ(watcher.boxes[1].text, "Already complete.");

    // The program carries on with the next message.
    EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST_F(ErrorReportTest, SilentAbortShowsNothing) {
    MessageBoxWatcher watcher;
    Click([] { throw EAbort(u"Operation aborted"); });
    PumpMessages();
    EXPECT_TRUE(watcher.boxes.empty());
}

TEST_F(ErrorReportTest, OtherErrorsGetTheLastChanceBoxAndTheProgramGoesOn) {
    MessageBoxWatcher watcher;
    Click([] { throw std::runtime_error("disk on fire"); });
    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].caption, "Application Error");
    EXPECT_EQ(watcher.boxes[0].text.rfind("Exception std::runtime_error in module ", 0), 0u)
        << watcher.boxes[0].text;
    EXPECT_NE(watcher.boxes[0].text.find("disk on fire."), std::string::npos);
    EXPECT_FALSE(watcher.boxes[0].hasOwner);
    EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST(FormCreateError, IsReportedOnceAndTheWindowStillOpens) {
    struct FailingForm : TForm {
        FailingForm() : TForm(kDesign) {
            OnCreate = [](TObject*) { throw Exception(u"Cannot create the history"); };
            DoCreate();
        }
    };
    MessageBoxWatcher watcher;
    Window<FailingForm> form;
    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].text, "Cannot create the history.");
    EXPECT_TRUE(IsWindow(form.Handle()));
}

} // namespace

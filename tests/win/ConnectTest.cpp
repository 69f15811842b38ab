#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/DBXMain_win.h"

namespace {

class ConnectTest : public ::testing::Test {
protected:
    ConnectTest() { form_.WithLog = true; }

    void Click() {
        SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(form_.bConnect->Handle()));
    }
    std::string Status() const { return ToUtf8(form_.lStatus->Text()); }
    std::string Log() const { return scratch_.DayLog(); }
    std::u16string InScratch(const std::wstring& name) const { return scratch_.Path(name); }

    ScratchDirectory scratch_{L"qrydesk-connect-"};
    Window<TMainForm> form_;
};

TEST_F(ConnectTest, SQLiteFileConnectsAndTheNextClickDisconnects) {
    auto path = InScratch(L"new.db");
    form_.cbDBKind->SetItemIndex(2);
    ASSERT_EQ(ToUtf8(form_.cbDBKind->Text()), "SQLite");
    form_.eDatabase->SetText(path);
    form_.ePwd->SetText(u"pw-secret");

    Click();
    EXPECT_TRUE(form_.ADOConnection.Connected());
    EXPECT_EQ(Status(), "Connected");
    EXPECT_EQ(ToUtf8(form_.ADOConnection.ConnectionString()),
              "Provider=SQLite;Data Source=" + ToUtf8(path));
    EXPECT_NE(GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str())),
              INVALID_FILE_ATTRIBUTES)
        << "the database file is created";
    EXPECT_NE(Log().find(": Connect to /" + ToUtf8(path) + ", Connected\r\n"), std::string::npos)
        << Log();

    Click();
    EXPECT_FALSE(form_.ADOConnection.Connected());
    EXPECT_EQ(Status(), "Not Connected");
    EXPECT_NE(Log().find(": Disconnect from /" + ToUtf8(path) + ", Not Connected\r\n"),
              std::string::npos)
        << Log();

    // Running a statement opens the connection behind the button's back; the next click
    // closes it.
    form_.ADOQuery.SetSQL({u"select 1"});
    form_.ADOQuery.Open();
    ASSERT_TRUE(form_.ADOConnection.Connected());
    Click();
    EXPECT_FALSE(form_.ADOConnection.Connected());
    EXPECT_EQ(Status(), "Not Connected");
    EXPECT_EQ(Log().find("pw-secret"), std::string::npos);
}

TEST_F(ConnectTest, FailedConnectShowsOneErrorAndChangesNothingElse) {
    struct Case {
        int kind;
        std::u16string server;
        std::u16string database;
    } cases[] = {
        {2, u"", InScratch(L"missing\\sub\\a.db")}, // SQLite in a directory that is not there
        {-1, u"127.0.0.1,1", u"master"},            // SQL Server on a closed local port
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        form_.cbDBKind->SetItemIndex(c.kind);
        form_.eServer->SetText(c.server);
        form_.eDatabase->SetText(c.database);
        form_.ePwd->SetText(u"pw-secret");
        MessageBoxWatcher watcher;
        Click();
        PumpMessages();
        ASSERT_EQ(watcher.boxes.size(), 1u);
        EXPECT_EQ(watcher.boxes[0].text.find("pw-secret"), std::string::npos)
            << watcher.boxes[0].text;
        EXPECT_FALSE(form_.ADOConnection.Connected());
        EXPECT_EQ(Status(), "lStatus");
        EXPECT_EQ(Log(), "");
        EXPECT_NE(form_.ADOConnection.ConnectionString().find(c.database), std::u16string::npos)
            << "the new string stays set";
    }
}

} // namespace

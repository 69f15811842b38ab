#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "app/ConnectionStrings.h"
#include "app/DBXMain_win.h"
#include "data/drivers/ProviderRouting.h"

namespace {

// The ODBC kind through the real window: a data source or a connection string typed as the
// server, with the day's log in a scratch directory.
class OdbcConnectTest : public ::testing::Test {
protected:
    OdbcConnectTest() {
        form_.WithLog = true;
        form_.cbDBKind->SetItemIndex(dkOdbc);
    }

    void Click(TControl* button) {
        SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button->Handle()));
        PumpMessages();
    }
    void Connect(const std::u16string& server, const std::u16string& database,
                 const std::u16string& user, const std::u16string& password) {
        form_.eServer->SetText(server);
        form_.eDatabase->SetText(database);
        form_.eUser->SetText(user);
        form_.ePwd->SetText(password);
        Click(form_.bConnect);
    }
    void Run(TControl* button, const std::u16string& statement) {
        form_.eSQL->SetText(statement);
        Click(button);
    }
    std::string Status() const { return ToUtf8(form_.lStatus->Text()); }
    std::string Rows() const { return ToUtf8(form_.lRows->Text()); }
    std::string Log() const { return scratch_.DayLog(); }

    ScratchDirectory scratch_{L"qrydesk-odbc-"};
    Window<TMainForm> form_;
};

// On the PostgreSQL server that scripts/test starts, with the data source it registers for
// unixODBC, which Wine's ODBC reaches.
class OdbcPostgresTest : public OdbcConnectTest {
protected:
    void SetUp() override {
        for (const char* name : {"QRYDESK_PG_PORT", "QRYDESK_PG_DSN"}) {
            if (std::getenv(name))
                continue;
            if (std::getenv("QRYDESK_PG_REQUIRED"))
                FAIL() << name << " is not set";
            GTEST_SKIP() << "no PostgreSQL server (" << name << ")";
        }
        port_ = FromUtf8(std::getenv("QRYDESK_PG_PORT"));
        dsn_ = FromUtf8(std::getenv("QRYDESK_PG_DSN"));
    }

    std::u16string port_;
    std::u16string dsn_;
};

TEST_F(OdbcConnectTest, MissingDataSourceOrDriverShowsTheDriverManagersMessage) {
    ASSERT_EQ(ToUtf8(form_.cbDBKind->Text()), "ODBC");
    struct Case {
        const char16_t* server;
        const char* message;
    } cases[] = {
        {u"NoSuchDataSource", "Data source name not found"},
        {u"Driver={No Such Driver};Server=h;PWD=pw-in-string", "No Such Driver"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.server));
        MessageBoxWatcher watcher;
        Connect(c.server, u"db", u"u", u"pw-secret");
        ASSERT_EQ(watcher.boxes.size(), 1u);
        const std::string& text = watcher.boxes[0].text;
        EXPECT_NE(text.find("Driver Manager]"), std::string::npos) << text;
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        EXPECT_EQ(text.find("pw-"), std::string::npos) << text;
        EXPECT_FALSE(form_.ADOConnection.Connected());
        EXPECT_EQ(Status(), "lStatus");
        EXPECT_EQ(Log(), "");
    }
}

// A connection string with a password of its own, which the log masks; then a table edited
// through the grid.
TEST_F(OdbcPostgresTest, ConnectionStringOpensExecutesAndEdits) {
    std::u16string server =
        u"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + port_ + u";PWD={pw;secret}}}";
    Connect(server, u"postgres", u"postgres", u"");
    ASSERT_EQ(Status(), "Connected");

    Run(form_.bExecute, u"drop table if exists odbc_kind;\r\n"
                        u"create table odbc_kind (id int primary key, name varchar(10));\r\n"
                        u"insert into odbc_kind values (1, 'one'), (2, 'two')");
    EXPECT_EQ(Rows(), "2 Rows Affected");
    Run(form_.bOpen, u"select id, name from odbc_kind order by id");
    ASSERT_EQ(Rows(), "Query Oppened");

    ShowWindow(form_.Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(form_.Handle());
    HWND grid = form_.DBGrid1->Handle();
    SetFocus(grid);
    SendMessageW(grid, WM_KEYDOWN, VK_RIGHT, 1);
    for (char16_t c : std::u16string(u"uno"))
        SendMessageW(GetFocus(), WM_CHAR, WPARAM(c), 1);
    SendMessageW(GetFocus(), WM_KEYDOWN, VK_DOWN, 1);
    PumpMessages();

    Run(form_.bOpen, u"select string_agg(name, ',' order by id) from odbc_kind");
    ASSERT_EQ(Rows(), "Query Oppened");
    EXPECT_EQ(ToUtf8(form_.ADOQuery.Fields(0).AsString()), "uno,two");
    Run(form_.bExecute, u"drop table odbc_kind");

    Click(form_.bConnect);
    EXPECT_EQ(Status(), "Not Connected");
    std::string shown = "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + ToUtf8(port_) +
                        ";PWD=***/postgres, ";
    EXPECT_NE(Log().find(": Connect to " + shown + "Connected\r\n"), std::string::npos) << Log();
    EXPECT_NE(Log().find(": Disconnect from " + shown + "Not Connected\r\n"), std::string::npos)
        << Log();
    EXPECT_EQ(Log().find("secret"), std::string::npos) << Log();
}

// A data source names the driver, which then streams as it does when named.
TEST_F(OdbcPostgresTest, DataSourceOpensAndExecutesAndStreams) {
    Connect(dsn_, u"", u"postgres", u"pw-secret");
    ASSERT_EQ(Status(), "Connected");
    EXPECT_EQ(ToUtf8(form_.ADOConnection.ConnectionString()),
              "Provider=MSDASQL;Data Source=" + ToUtf8(dsn_) +
                  ";User ID=postgres;Password=pw-secret");
    std::u16string odbc =
        RouteProvider(ConnectionString::Parse(form_.ADOConnection.ConnectionString()), {},
                      InstalledOdbcDataSources())
            .target;
    EXPECT_NE(odbc.find(u";UseDeclareFetch=1;Fetch=1000"), std::u16string::npos) << ToUtf8(odbc);

    Run(form_.bExecute, u"create temporary table w (id int, name text);\r\n"
                        u"insert into w values (1, '\u05D0'), (2, 'b')");
    EXPECT_EQ(Rows(), "2 Rows Affected");
    Run(form_.bOpen, u"select name from w order by id");
    ASSERT_EQ(Rows(), "Query Oppened");
    EXPECT_EQ(ToUtf8(form_.ADOQuery.Fields(0).AsString()), "\u05D0");

    Click(form_.bConnect);
    EXPECT_EQ(Status(), "Not Connected");
    std::string shown = ToUtf8(dsn_) + "/, ";
    EXPECT_NE(Log().find(": Connect to " + shown + "Connected\r\n"), std::string::npos) << Log();
    EXPECT_NE(Log().find(": Disconnect from " + shown + "Not Connected\r\n"), std::string::npos)
        << Log();
    EXPECT_EQ(Log().find("pw-secret"), std::string::npos) << Log();
}

} // namespace

#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "app/DBXMain_win.h"

namespace {

// The statement buttons and Ctrl+E through the real window, on a SQLite file in a scratch
// directory that also receives the day's log.
class StatementRunTest : public ::testing::Test {
protected:
    StatementRunTest() {
        form_.WithLog = true;
        form_.ADOConnection.SetConnectionString(u"Provider=SQLite;Data Source=" +
                                                scratch_.Path(L"test.db"));
        Run(form_.bExecute, u"create table t (id integer primary key, name varchar(20));\r\n"
                            u"insert into t values (1, 'one'), (2, 'two'), (3, 'three')");
    }

    void Click(TControl* button) {
        SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button->Handle()));
    }
    void Type(const std::u16string& text) { form_.eSQL->SetText(text); }
    void Run(TControl* button, const std::u16string& text) {
        Type(text);
        Click(button);
    }
    void CtrlE() { SendMessageW(form_.eSQL->Handle(), WM_CHAR, 5, 1); }
    std::string Rows() const { return ToUtf8(form_.lRows->Text()); }
    std::string Names() {
        std::string names;
        form_.ADOQuery.SetSQL({u"select group_concat(name, ',') from t"});
        form_.ADOQuery.Open();
        names = ToUtf8(form_.ADOQuery.Fields(0).AsString());
        form_.ADOQuery.Close();
        return names;
    }

    ScratchDirectory scratch_{L"qrydesk-run-"};
    Window<TMainForm> form_;
};

TEST_F(StatementRunTest, OpenExecuteAndCloseReportAndLogInOrder) {
    EXPECT_EQ(Rows(), "3 Rows Affected");
    EXPECT_EQ(ToUtf8(form_.lStatus->Text()), "lStatus") << "an implicit connect leaves it";

    Run(form_.bOpen, u"select id, name\r\nfrom t order by id");
    EXPECT_EQ(Rows(), "Query Oppened");
    ASSERT_TRUE(form_.ADOQuery.Active());
    EXPECT_EQ(form_.ADOQuery.FieldCount(), 2);
    EXPECT_EQ(ToUtf8(form_.ADOQuery.Fields(1).AsString()), "one");

    Run(form_.bExecute, u"update t set name = upper(name) where id > 1");
    EXPECT_EQ(Rows(), "2 Rows Affected");
    EXPECT_FALSE(form_.ADOQuery.Active()) << "a new statement closes the open result";
    EXPECT_EQ(Names(), "one,TWO,THREE");

    Click(form_.bClose);
    EXPECT_EQ(Rows(), "2 Rows Affected") << "Close leaves the outcome alone";

    std::string log = scratch_.DayLog();
    std::vector<std::string> expected = {
        ": Exec Query: create table t (id integer primary key, name varchar(20));\r\n"
        "insert into t values (1, 'one'), (2, 'two'), (3, 'three')\r\n",
        ": Exec Query: 3 Rows Affected\r\n",
        ": Open Query: select id, name\r\nfrom t order by id\r\n",
        ": Open Query: Query Oppened\r\n",
        ": Exec Query: update t set name = upper(name) where id > 1\r\n",
        ": Exec Query: 2 Rows Affected\r\n",
        ": Close Query\r\n",
    };
    std::size_t at = 0;
    for (const auto& entry : expected) {
        std::size_t found = log.find(entry, at);
        ASSERT_NE(found, std::string::npos) << entry << "\nin\n" << log;
        at = found + entry.size();
    }
    EXPECT_EQ(at, log.size());
}

TEST_F(StatementRunTest, ErrorsLandInTheLabelAndTheLogAndTheStatementStaysInTheHistory) {
    struct Case {
        TControl* button;
        const char16_t* statement;
        const char* outcome;
    } cases[] = {
        {form_.bOpen, u"select * from missing", "Error, no such table: missing"},
        {form_.bExecute, u"update missing set x = 1", "Error, no such table: missing"},
        {form_.bOpen, u"delete from t where id = 3",
         "Error, ADOQuery: CommandText does not return a result set"},
        {form_.bExecute, u"", "Error, ADOQuery: Missing SQL property"},
        {form_.bOpen, u"select * from t where id = :id",
         "Error, No value given for one or more required parameters."},
    };
    for (const auto& c : cases) {
        Run(c.button, c.statement);
        EXPECT_EQ(Rows(), c.outcome);
        EXPECT_FALSE(form_.ADOQuery.Active());
        EXPECT_EQ(ToUtf8(form_.eSQL->Text()), ToUtf8(c.statement));
        EXPECT_NE(
            scratch_.DayLog().find(std::string(c.button == form_.bOpen ? ": Open" : ": Exec") +
                                   " Query: " + c.outcome + "\r\n"),
            std::string::npos);
        EXPECT_EQ(form_.Memory.Slot(1), form_.eSQL->Lines()) << "kept in the history";
    }
    EXPECT_EQ(Names(), "one,two") << "the statement without a result set has still run";
}

TEST_F(StatementRunTest, CtrlEOpensWhenTheFirstRowMentionsSelect) {
    struct Case {
        const char16_t* statement;
        const char* outcome;
    } cases[] = {
        {u"SeLeCt * from t", "Query Oppened"},
        {u"update t set name = 'selected' where id = 1",
         "Error, ADOQuery: CommandText does not return a result set"},
        {u"with x as (\r\nselect 1 as id)\r\ndelete from t where id in (select id from x)",
         "1 Rows Affected"},
        // A first line long enough to wrap, with SELECT only beyond its first displayed row.
        {u"update t set name = 'aaaaaaaa bbbbbbbbb cccccccccc dddddddddd eeeeeeeeee fffffffff "
         u"gggggggg hhhhhhhhhh iiiiiiiiii jjjjjjjjjj kkkkkkkkkk llllllllll mmmmmmmmmm "
         u"nnnnnnnnn oooooooo pppppppp qqqqqqqqq rrrrrrrr ssssssss select'",
         "2 Rows Affected"},
        {u"", "Error, ADOQuery: Missing SQL property"},
    };
    for (const auto& c : cases) {
        Type(c.statement);
        std::size_t rows = form_.eSQL->Lines().size();
        CtrlE();
        EXPECT_EQ(Rows(), c.outcome) << ToUtf8(c.statement) << " in " << rows << " rows";
    }
}

// The same flow through ODBC, on the PostgreSQL server the test script starts.
TEST_F(StatementRunTest, OpenAndExecuteThroughOdbcOnPostgreSQL) {
    const char* port = std::getenv("QRYDESK_PG_PORT");
    if (!port) {
        if (std::getenv("QRYDESK_PG_REQUIRED"))
            FAIL() << "QRYDESK_PG_PORT is not set";
        GTEST_SKIP() << "no PostgreSQL server (QRYDESK_PG_PORT)";
    }
    form_.ADOConnection.SetConnectionString(
        u"Provider=MSDASQL;Extended Properties=\"Driver={PostgreSQL Unicode};"
        u"Server=127.0.0.1;Port=" +
        FromUtf8(port) + u";Database=postgres;Uid=postgres\"");
    Run(form_.bExecute, u"create temporary table w (id int, name text);\r\n"
                        u"insert into w values (1, 'א'), (2, 'b')");
    EXPECT_EQ(Rows(), "2 Rows Affected");
    Run(form_.bOpen, u"select name from w order by id");
    ASSERT_EQ(Rows(), "Query Oppened");
    EXPECT_EQ(ToUtf8(form_.ADOQuery.Fields(0).AsString()), "א");
    Run(form_.bOpen, u"select * from missing_table");
    EXPECT_EQ(Rows().rfind("Error, ", 0), 0u);
    EXPECT_NE(Rows().find("missing_table"), std::string::npos) << Rows();
}

} // namespace

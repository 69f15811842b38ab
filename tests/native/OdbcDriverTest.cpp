#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "base/Text.h"
#include "data/DecimalText.h"
#include "data/drivers/Driver.h"
#include "data/drivers/odbc/OdbcConnectionString.h"
#include "data/drivers/odbc/OdbcDriver.h"
#include "tests/native/DriverValues.h"
#include "tests/native/Loopback.h"
#include "tests/native/MessageOf.h"
#include "tests/native/PostgresFixture.h"
#include "tests/native/TempFolder.h"

namespace {

std::u16string U(const std::string& text) {
    return FromUtf8(text);
}

std::vector<std::string> Row(DriverResult& result) {
    std::vector<CellValue> row;
    if (!result.Fetch(row))
        return {"<end>"};
    std::vector<std::string> shown;
    for (const CellValue& value : row)
        shown.push_back(Show(value));
    return shown;
}

// Long values that cross the drivers' piece boundaries, surrogate pairs included unless
// `ascii`.
std::u16string LongText(bool ascii = false) {
    std::u16string text;
    for (int i = 0; i < 30000; ++i)
        text += ascii ? u"abcd" : i % 3 ? u"ab\U0001F600" : u"\u05D0\u05D1c";
    return text;
}

std::string LongBytes() {
    std::string bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += char(i * 7 % 256);
    return bytes;
}

std::u16string Hex(std::string_view bytes) {
    std::u16string hex;
    for (unsigned char c : bytes) {
        hex += u"0123456789abcdef"[c >> 4];
        hex += u"0123456789abcdef"[c & 15];
    }
    return hex;
}

class Postgres : public PostgresFixture {
protected:
    void ExpectRowsComeFromTheServerAsRead();
    long long Count(const char16_t* sql) {
        auto result = db->OpenResult(sql);
        std::vector<CellValue> row;
        EXPECT_TRUE(result->Fetch(row));
        return row.at(0).integer;
    }
};

TEST_F(Postgres, DescribesAndReadsEveryKindOfColumn) {
    db->Execute(u"create temp table mixed (i int, b bigint, n numeric(10,4), d double precision, "
                u"f boolean, dt date, tm time, ts timestamp, v varchar(20), tx text, "
                u"by bytea, s smallint)");
    EXPECT_EQ(db->Execute(u"insert into mixed values (1, 12345678901, 12.5, 1.5, true, "
                          u"'2024-02-29', '13:45:12.345', '2024-02-29 23:59:58.125', "
                          u"'\u05E9\u05DC\u05D5\u05DD \U0001F600', 'long', '\\x00ff10', -3), "
                          u"(2, null, null, null, null, null, null, null, null, '" +
                          LongText() + u"', '\\x" + Hex(LongBytes()) + u"', null)"),
              2);

    auto result = db->OpenResult(u"select *, -n as neg, i + 1 as next from mixed order by i");
    ASSERT_TRUE(result);
    struct Expected {
        const char* name;
        TFieldType type;
        int size, precision, scale;
    } expected[] = {
        {"i", TFieldType::Integer, 0, 0, 0},     {"b", TFieldType::Largeint, 0, 0, 0},
        {"n", TFieldType::Decimal, 0, 10, 4},    {"d", TFieldType::Float, 0, 0, 0},
        {"f", TFieldType::Boolean, 0, 0, 0},     {"dt", TFieldType::Date, 0, 0, 0},
        {"tm", TFieldType::Time, 0, 0, 0},       {"ts", TFieldType::DateTime, 0, 0, 0},
        {"v", TFieldType::WideString, 20, 0, 0}, {"tx", TFieldType::WideMemo, 8190, 0, 0},
        {"by", TFieldType::Blob, 0, 0, 0},       {"s", TFieldType::Smallint, 0, 0, 0},
        {"neg", TFieldType::Decimal, 0, 28, 4},  {"next", TFieldType::Integer, 0, 0, 0},
    };
    const auto& columns = result->Columns();
    ASSERT_EQ(columns.size(), std::size(expected));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(ToUtf8(columns[i].name), expected[i].name);
        EXPECT_EQ(columns[i].type, expected[i].type);
        EXPECT_EQ(columns[i].size, expected[i].size);
        EXPECT_EQ(columns[i].precision, expected[i].precision);
        EXPECT_EQ(columns[i].scale, expected[i].scale);
        bool computed = i >= 12;
        EXPECT_EQ(columns[i].readOnly, computed);
        EXPECT_EQ(ToUtf8(columns[i].baseTable), computed ? "" : "mixed");
        EXPECT_EQ(ToUtf8(columns[i].baseColumn), computed ? "" : expected[i].name);
    }

    EXPECT_EQ(Row(*result), (std::vector<std::string>{
                                "int:1", "int:12345678901", "dec:12.5000", "real:1.5", "int:1",
                                "dt:2024-02-29 00:00:00.000", "dt:0000-00-00 13:45:12.345",
                                "dt:2024-02-29 23:59:58.125", "text:שלום 😀", "text:long",
                                "bytes:00ff10", "int:-3", "dec:-12.5000", "int:2"}));
    std::vector<CellValue> row;
    ASSERT_TRUE(result->Fetch(row));
    for (std::size_t i : {1, 2, 3, 4, 5, 6, 7, 8, 11, 12})
        EXPECT_EQ(row[i].tag, CellValue::Tag::Null) << ToUtf8(columns[i].name);
    EXPECT_TRUE(row[9].tag == CellValue::Tag::Text && row[9].text == LongText());
    EXPECT_TRUE(row[10].tag == CellValue::Tag::Bytes && row[10].bytes == LongBytes());
    EXPECT_EQ(Row(*result), std::vector<std::string>{"<end>"});
    EXPECT_FALSE(result->Fetch(row));
}

TEST_F(Postgres, ExecuteCountsTheRowsEveryStatementChanged) {
    EXPECT_EQ(db->Execute(u"create temp table c (x int)"), 0);
    EXPECT_EQ(db->Execute(u"insert into c values (1), (2), (3)"), 3);
    EXPECT_EQ(db->Execute(u"update c set x = 0 where false"), 0);
    EXPECT_EQ(db->Execute(u"update c set x = 0 where false; update c set x = x + 10 where x > 1; "
                          u"select 1; delete from c where x = 12"),
              3);
    EXPECT_EQ(db->Execute(u"select x from c"), -1); // a query changes nothing

    // A statement without rows runs and gives no result.
    EXPECT_EQ(db->OpenResult(u"update c set x = 5"), nullptr);
    EXPECT_EQ(Count(u"select count(*) from c where x = 5"), 2);
    // The first result with columns is the one returned, and what follows still runs.
    auto result = db->OpenResult(u"update c set x = 6; select x from c; update c set x = 7");
    ASSERT_TRUE(result);
    EXPECT_EQ(Row(*result), std::vector<std::string>{"int:6"});
    EXPECT_EQ(Row(*result), std::vector<std::string>{"int:6"});
    EXPECT_EQ(Row(*result), std::vector<std::string>{"<end>"});
    result.reset();
    EXPECT_EQ(Count(u"select count(*) from c where x = 7"), 2);
}

TEST_F(Postgres, FailuresCarryTheServersMessage) {
    EXPECT_EQ(MessageOf([&] { db->Execute(u"select * from missing_table"); }),
              "ERROR: relation \"missing_table\" does not exist;\nError while executing the query");
    EXPECT_EQ(MessageOf([&] { db->OpenResult(u"select 1; select 1 / 0"); }).substr(0, 23),
              "ERROR: division by zero");
    // The connection stays usable.
    EXPECT_EQ(Count(u"select 42"), 42);
}

// psqlODBC would otherwise read all the rows before handing over the first. Each row produced
// here draws from a sequence, and the sequence shows how far the server has gone.
void Postgres::ExpectRowsComeFromTheServerAsRead() {
    db->Execute(u"create temp sequence produced");
    auto result =
        db->OpenResult(u"select x, nextval('produced') from generate_series(1, 1000000) as x");
    ASSERT_TRUE(result);
    EXPECT_EQ(Row(*result), (std::vector<std::string>{"int:1", "int:1"}));
    long long first = Count(u"select last_value from produced");
    EXPECT_LT(first, 10000);
    std::vector<CellValue> row;
    for (int i = 0; i < 2 * first; ++i)
        ASSERT_TRUE(result->Fetch(row));
    long long later = Count(u"select last_value from produced");
    EXPECT_GT(later, first);
    EXPECT_LT(later, 1000000);
}

TEST_F(Postgres, LargeResultsComeFromTheServerAsRead) {
    ExpectRowsComeFromTheServerAsRead();
}

// The routing finds psqlODBC behind the data source that scripts/test registers.
TEST_F(Postgres, LargeResultsComeAsReadThroughADataSourceToo) {
    const char* dsn = std::getenv("QRYDESK_PG_DSN");
    if (!dsn) {
        if (std::getenv("QRYDESK_PG_REQUIRED"))
            FAIL() << "QRYDESK_PG_DSN is not set";
        GTEST_SKIP() << "QRYDESK_PG_DSN is not set";
    }
    db = ConnectDriver(u"Provider=MSDASQL;Data Source=" + U(dsn) + u";User ID=postgres", 15);
    ExpectRowsComeFromTheServerAsRead();
}

TEST(OdbcDriver, SqliteOdbcDriverReadsItsOwnFile) {
    TempFolder folder;
    // This SQLite ODBC driver takes values up to the next ";" and knows no braces. It has no
    // UTF-16 entry points either, and the driver manager converts text for it by the
    // process's locale, so the text here stays ASCII.
    std::u16string path = U(folder.File("odd name.db").string());
    auto db = ConnectOdbc(u"Driver={SQLite3};Database=" + OdbcValue(path) + u";StepAPI=1", 15);
    EXPECT_EQ(db->Execute(u"create table t (i integer primary key, r double, v varchar(10), "
                          u"tx text, bl blob, ts timestamp)"),
              0);
    EXPECT_EQ(db->Execute(u"insert into t values (1, 2.25, 'abc', 'x', x'00ff', "
                          u"'2001-02-03 04:05:06.700')"),
              1);
    EXPECT_EQ(db->OpenResult(u"insert into t values (2, null, null, '" + LongText(true) + u"', x'" +
                             Hex(LongBytes()) + u"', null)"),
              nullptr);
    EXPECT_TRUE(std::filesystem::exists(folder.File("odd name.db")));

    auto result = db->OpenResult(u"select * from t order by i");
    ASSERT_TRUE(result);
    const auto& columns = result->Columns();
    ASSERT_EQ(columns.size(), 6u);
    EXPECT_EQ(columns[2].type, TFieldType::String);
    EXPECT_EQ(columns[2].size, 10);
    EXPECT_EQ(columns[4].type, TFieldType::Bytes);
    EXPECT_EQ(ToUtf8(columns[4].baseTable), "t");
    EXPECT_EQ(Row(*result), (std::vector<std::string>{"int:1", "real:2.25", "text:abc", "text:x",
                                                      "bytes:00ff", "dt:2001-02-03 04:05:06.700"}));
    std::vector<CellValue> row;
    ASSERT_TRUE(result->Fetch(row));
    EXPECT_EQ(row[1].tag, CellValue::Tag::Null);
    EXPECT_TRUE(row[3].tag == CellValue::Tag::Text && row[3].text == LongText(true));
    EXPECT_TRUE(row[4].tag == CellValue::Tag::Bytes && row[4].bytes == LongBytes());
    EXPECT_FALSE(result->Fetch(row));
    result.reset();

    EXPECT_EQ(MessageOf([&] { db->Execute(u"select * from nowhere"); }),
              "[SQLite]no such table: nowhere (1)");
}

// SQLite never tells apart names that differ only in case, though its ODBC driver reports
// quoted names as case-sensitive.
TEST(OdbcDriver, SqliteNamesAreOneWhateverTheirCase) {
    TempFolder folder;
    auto db = ConnectOdbc(
        u"Driver={SQLite3};Database=" + OdbcValue(U(folder.File("keys.db").string())), 15);
    db->Execute(u"create table Things (Id integer primary key, Code text, Other int)");
    db->Execute(u"create unique index things_code on things (CODE)");
    EXPECT_TRUE(db->Dialect().namesIgnoreCase);
    for (const char16_t* table : {u"Things", u"things"})
        EXPECT_EQ(db->UniqueKeys(u"", table),
                  (std::vector<std::vector<std::u16string>>{{u"Id"}, {u"Code"}}))
            << ToUtf8(table);
}

TEST(OdbcDriver, ConnectionFailuresCarryTheDriversMessages) {
    // A port nobody listens on: one that was free a moment ago.
    int probe = socket(AF_INET, SOCK_STREAM, 0);
    int unused = BindToLoopback(probe);
    close(probe);
    ASSERT_NE(unused, 0);
    std::string port = std::to_string(unused);

    // Routed to FreeTDS, whose records come one a line, each once (it repeats some).
    std::string message = MessageOf([&] {
        ConnectDriver(u"Provider=SQLOLEDB.1;User ID=sa;password=pw;Initial Catalog=master;"
                      u"Data Source=127.0.0.1," +
                          U(port),
                      5);
    });
    EXPECT_EQ(message.rfind("[FreeTDS]", 0), 0u) << message;
    auto lineBreak = message.find("\r\n");
    ASSERT_NE(lineBreak, std::string::npos) << message;
    std::string first = message.substr(0, lineBreak);
    EXPECT_EQ(message.find(first, lineBreak), std::string::npos) << message;

    EXPECT_EQ(MessageOf([] { ConnectOdbc(u"Driver={No Such Driver}", 5); }),
              "[unixODBC][Driver Manager]Can't open lib 'No Such Driver' : file not found");
}

TEST(OdbcDriver, NumbersInTextBecomeExactDecimals) {
    struct Case {
        const char16_t* text;
        const char* decimal;
    } cases[] = {
        {u"12.5000", "12.5000"}, {u"-123.4500", "-123.4500"},
        {u"-.5", "-0.5"},        {u"+007", "7"},
        {u"1,25", "1.25"},       {u" 3 ", "3"},
        {u"0.000", "0.000"},     {u"-0.00", "0.00"},
        {u"1E+3", "1000"},       {u"1.5e-3", "0.0015"},
        {u"12.50E1", "125.0"},   {u"NaN", "<text>"},
        {u"", "<text>"},         {u"-", "<text>"},
        {u"1.2.3", "<text>"},    {u"1e", "<text>"},
        {u"1e99999", "<text>"},
    };
    for (const auto& c : cases) {
        std::u16string out;
        EXPECT_EQ(NormalizeDecimalText(c.text, out) ? ToUtf8(out) : "<text>", c.decimal)
            << ToUtf8(c.text);
    }
}

} // namespace

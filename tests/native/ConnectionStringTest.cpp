#include <gtest/gtest.h>

#include "base/Text.h"
#include "data/ConnectionString.h"

namespace {

std::string ValueOf(const char16_t* text, const char16_t* key) {
    auto value = ConnectionString::Parse(text).Value(key);
    return value ? ToUtf8(*value) : "<missing>";
}

TEST(ConnectionString, ReadsTheStringsTheWindowBuilds) {
    auto sqlServer = ConnectionString::Parse(
        u"Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;password=pw;"
        u"Initial Catalog=shop;Data Source=db01;Auto Tranlate=False;"
        u"Use Procedure for Prepare=1;Packet Size=4096;Use Encryption for Data=False");
    EXPECT_EQ(ToUtf8(*sqlServer.Value(u"provider")), "SQLOLEDB.1");
    EXPECT_EQ(ToUtf8(*sqlServer.Value(u"Password")), "pw");
    EXPECT_EQ(ToUtf8(*sqlServer.Value(u"INITIAL CATALOG")), "shop");
    EXPECT_EQ(ToUtf8(*sqlServer.Value(u"Use Encryption for Data")), "False");
    EXPECT_EQ(sqlServer.Entries().size(), 10u);

    // Every edit empty: each key stands with an empty value.
    auto oracle = ConnectionString::Parse(
        u"Provider=OraOLEDB.Oracle.1;Password=;Persist Security Info=True;User ID=;Data Source=");
    EXPECT_EQ(ToUtf8(*oracle.Value(u"Data Source")), "");
    EXPECT_EQ(ToUtf8(*oracle.Value(u"User ID")), "");
}

TEST(ConnectionString, FollowsTheQuotingAndBlankRules) {
    struct Case {
        const char16_t* text;
        const char16_t* key;
        const char* value;
    } cases[] = {
        {u"Password='a;b'; User ID=x", u"Password", "a;b"},
        {u"Password=\"it\"\"s\";User ID=x", u"Password", "it\"s"},
        {u"Password='it''s'", u"password", "it's"},
        {u"Password=' padded '", u"Password", " padded "},
        {u"  Data Source  =  db01  ;", u"data source", "db01"},
        {u"Key==Name=v", u"Key=Name", "v"},
        {u"User ID=first;User ID=last", u"User ID", "last"},
        {u";;User ID=x;;", u"User ID", "x"},
        {u"Flag", u"Flag", ""},
        {u"Password=a;b=c", u"Password", "a"}, // an unquoted ";" ends the value
        {u"Password=a;b=c", u"b", "c"},
        {u"User ID=x", u"Password", "<missing>"},
        {u"", u"Provider", "<missing>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueOf(c.text, c.key), c.value) << ToUtf8(c.text);
}

} // namespace

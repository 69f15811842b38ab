#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using OdbcSettings = std::vector<std::pair<std::u16string, std::u16string>>;

// An ODBC connection string read strictly by the ODBC rule, as a driver would: "key=value"
// segments separated by ";"; a value that opens with "{" runs to the "}" that closes it ("}}"
// inside stands for "}") and only blanks may follow it; any other value runs to the next ";"
// without its blanks at either end. Nothing when the string breaks the rule, including a
// segment without "=" or with an empty key. It shares no code with the data layer's reader
// (data/drivers/odbc/OdbcConnectionString.h) on purpose: an oracle that did would agree with
// the faults it is there to find.
std::optional<OdbcSettings> ReadOdbcSettings(std::u16string_view text);

// Whether two keys name one setting as drivers read them: the same key in any case, or two of
// the names that drivers take for the user (UID, Username, User, LogonID), the password (PWD,
// Password) or the database (DATABASE, DB).
bool SameOdbcSetting(std::u16string_view a, std::u16string_view b);

// The settings of an ODBC string the routing made, which must read by the ODBC rule and name
// each setting once, under one of its names; `text` is the fuzz input, for the report.
OdbcSettings RequireRoutedSettings(std::u16string_view odbc, std::u16string_view text);

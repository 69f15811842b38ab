#include "app/ConnectionStrings.h"

#include "base/Text.h"

namespace {

// A ";" ends the value, blanks at the ends are dropped, a leading quote opens a quoted value,
// and a leading "=" would join the "=" before it into a doubled "=" of the key.
bool NeedsQuotes(std::u16string_view value) {
    if (value.empty())
        return false;
    char16_t first = value.front();
    return value.find(u';') != std::u16string_view::npos || IsBlank(first) ||
           IsBlank(value.back()) || first == u'\'' || first == u'"' || first == u'=';
}

} // namespace

std::u16string ConnectionStringValue(std::u16string_view value) {
    if (!NeedsQuotes(value))
        return std::u16string(value);
    bool hasDouble = value.find(u'"') != std::u16string_view::npos;
    bool hasSingle = value.find(u'\'') != std::u16string_view::npos;
    // Single quotes spare doubling when only double quotes occur inside.
    char16_t quote = hasDouble && !hasSingle ? u'\'' : u'"';
    return Enclosed(value, quote, quote);
}

std::u16string BuildConnectionString(int kindIndex, std::u16string_view server,
                                     std::u16string_view database, std::u16string_view user,
                                     std::u16string_view password) {
    switch (kindIndex) {
    case dkOracle:
        return u"Provider=OraOLEDB.Oracle.1;Password=" + ConnectionStringValue(password) +
               u";Persist Security Info=True;User ID=" + ConnectionStringValue(user) +
               u";Data Source=" + ConnectionStringValue(database);
    case dkSQLite:
        return u"Provider=SQLite;Data Source=" + ConnectionStringValue(database);
    default:
        return u"Provider=SQLOLEDB.1;Persist Security Info=False;User ID=" +
               ConnectionStringValue(user) + u";password=" + ConnectionStringValue(password) +
               u";Initial Catalog=" + ConnectionStringValue(database) + u";Data Source=" +
               ConnectionStringValue(server) +
               u";Auto Tranlate=False;Use Procedure for Prepare=1;Packet Size=4096;"
               u"Use Encryption for Data=False";
    }
}

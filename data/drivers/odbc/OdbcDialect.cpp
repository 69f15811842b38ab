#include "data/drivers/odbc/OdbcDialect.h"

#include <algorithm>

#include "base/Text.h"

bool IsPostgres(std::u16string_view dbmsName) {
    return StartsWithText(dbmsName, u"PostgreSQL");
}

SqlDialect OdbcDialect(const OdbcDatabaseInfo& info) {
    SqlDialect dialect;
    const std::u16string& quote = info.identifierQuote;
    // A blank: the database quotes no names; the standard's quote is the best guess.
    if (quote.size() == 1 && quote[0] != u' ') {
        dialect.quoteOpen = quote[0];
        dialect.quoteClose = quote[0] == u'[' ? u']' : quote[0];
    }
    bool sqlite = StartsWithText(info.dbmsName, u"SQLite");
    dialect.namesIgnoreCase = sqlite || info.quotedNamesMixedCase;
    if (IsPostgres(info.dbmsName))
        dialect.insertReturning = SqlDialect::InsertReturning::Returning;
    else if (SameText(info.dbmsName, u"Microsoft SQL Server"))
        dialect.insertReturning = SqlDialect::InsertReturning::Output;
    else if (sqlite && VersionAtLeast(info.dbmsVersion, 3, 35))
        dialect.insertReturning = SqlDialect::InsertReturning::Returning;
    return dialect;
}

bool VersionAtLeast(std::u16string_view version, int major, int minor) {
    int parts[2] = {0, 0};
    std::size_t pos = 0;
    for (int& part : parts) {
        while (pos < version.size() && version[pos] >= u'0' && version[pos] <= u'9')
            part = std::min(part * 10 + (version[pos++] - u'0'), 100000);
        if (pos < version.size() && version[pos] == u'.')
            ++pos;
    }
    return parts[0] > major || (parts[0] == major && parts[1] >= minor);
}

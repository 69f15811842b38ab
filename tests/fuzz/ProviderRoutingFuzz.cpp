#include <algorithm>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/drivers/ProviderRouting.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/OdbcSettings.h"

namespace {

const std::u16string* Find(const OdbcSettings& settings, std::u16string_view key) {
    for (const auto& [name, value] : settings)
        if (SameText(name, key))
            return &value;
    return nullptr;
}

} // namespace

// The input's first line: the installed drivers' names, separated by tabs; the rest: an OLE
// DB connection string. Whatever it holds, the ODBC string made of it either is refused or
// reads by the ODBC rule, each setting once, with the driver, user and password that were
// asked.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = FuzzText(data, size);
    std::size_t newline = std::min(text.find(u'\n'), text.size());
    std::vector<std::u16string> drivers = SplitText(text.substr(0, newline), u'\t');
    auto connection = ConnectionString::Parse(std::u16string_view(text).substr(newline));

    ProviderRoute route;
    try {
        route = RouteProvider(connection, drivers);
    } catch (const Exception&) {
        return 0;
    }
    if (route.kind == ProviderRoute::Kind::Sqlite)
        return 0;

    OdbcSettings settings = RequireRoutedSettings(route.target, text);
    std::u16string provider = connection.Value(u"Provider").value_or(u"");
    if (StartsWithText(provider, u"SQLOLEDB") || StartsWithText(provider, u"OraOLEDB")) {
        Require(!settings.empty() && settings[0].first == u"DRIVER",
                "the chosen driver comes first", text);
        const std::u16string& driver = settings[0].second;
        Require(std::find(drivers.begin(), drivers.end(), driver) != drivers.end(),
                "the driver is one of those installed", text);
    }
    struct Mapped {
        const char16_t* oleDb;
        const char16_t* odbc;
    };
    for (const Mapped& mapped : {Mapped{u"User ID", u"UID"}, Mapped{u"Password", u"PWD"}}) {
        auto asked = connection.Value(mapped.oleDb);
        // The string may set the same again under another of its names.
        auto namedOtherwise = std::any_of(connection.Entries().begin(), connection.Entries().end(),
                                          [&](const auto& entry) {
                                              return !SameText(entry.first, mapped.oleDb) &&
                                                     SameOdbcSetting(entry.first, mapped.odbc);
                                          });
        if (asked && !namedOtherwise) {
            const std::u16string* passed = Find(settings, mapped.odbc);
            Require(passed && *passed == *asked, "the driver gets the user and password asked",
                    text);
        }
    }
    return 0;
}

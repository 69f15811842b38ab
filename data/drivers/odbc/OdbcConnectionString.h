#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ODBC connection strings: "key=value" segments separated by ";". A value that opens with "{"
// runs to the "}" that closes it, "}}" inside standing for "}", and only blanks may follow it;
// any other value runs to the next ";" without its blanks at either end.

// One value as it stands after "key=": unchanged, or in braces when it holds ";", "{" or "}"
// or has blanks at either end, so that the driver receives exactly this value.
std::u16string OdbcValue(std::u16string_view value);

// The value in braces whatever it holds, as driver names are written.
std::u16string OdbcBraced(std::u16string_view value);

// The value inside braces when `text` is exactly one braced value; nothing otherwise.
std::optional<std::u16string> OdbcUnbraced(std::u16string_view text);

// One "key=value" segment of an ODBC connection string.
struct OdbcSegment {
    std::u16string key;   // without blanks at either end
    std::u16string value; // as the driver reads it
    std::u16string text;  // the segment as written, without blanks at either end
};

// Reads the segments of an ODBC connection string, skipping those without "=" or a key.
// Raises Exception, naming `where` and the key, when a value opens with "{" but does not close
// it or has more than blanks after its closing "}", since a driver would read the string
// differently from what it seems to say.
std::vector<OdbcSegment> ReadOdbcConnectionString(std::u16string_view text,
                                                  std::u16string_view where);

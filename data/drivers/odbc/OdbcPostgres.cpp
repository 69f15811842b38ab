#include "data/drivers/odbc/OdbcPostgres.h"

#include "base/Exception.h"
#include "base/Text.h"
#include "data/DateTimeText.h"
#include "data/drivers/Driver.h"

// Sampled a month apart over four centuries, any summer time or change of its offset shows.
SessionZone PostgresSessionZone(DriverConnection& connection) {
    SessionZone zone;
    try {
        auto result = connection.OpenResult(
            u"select count(distinct o), min(o), current_setting('TimeZone') from (select "
            u"extract(timezone from t)::int as o from generate_series(timestamptz "
            u"'1800-01-01 00:00+00', timestamptz '2200-01-01 00:00+00', interval '1 month') "
            u"as t) as offsets");
        std::vector<CellValue> row;
        if (result && result->Fetch(row) && row.size() == 3 &&
            row[0].tag == CellValue::Tag::Integer && row[1].tag == CellValue::Tag::Integer &&
            row[2].tag == CellValue::Tag::Text) {
            if (row[0].integer == 1)
                zone.fixedOffset = int(row[1].integer);
            else if (row[2].text.find(u' ') == std::u16string_view::npos)
                zone.name = row[2].text;
        }
    } catch (const Exception&) {
    }
    return zone;
}

bool SplitZonedWallTime(std::u16string_view text, std::u16string_view& wall,
                        std::u16string_view& zone) {
    std::size_t blank = text.rfind(u' ');
    DateTimeFields fields;
    if (blank == std::u16string_view::npos || blank + 1 == text.size() ||
        !ParseDateTimeFields(text.substr(0, blank), fields) || !fields.hasTime || fields.hasOffset)
        return false;
    wall = text.substr(0, blank);
    zone = text.substr(blank + 1);
    return true;
}

// Every offset the zone has within three days of the wall time is tried: where a clock was
// set back, two instants have that wall time.
std::u16string ResolvePostgresWallTime(DriverConnection& connection, std::u16string_view wall,
                                       std::u16string_view zone) {
    auto result = connection.OpenBound(
        u"select count(distinct c), min(to_char(c at time zone 'UTC', "
        u"'YYYY-MM-DD HH24:MI:SS.US')) from (select (w - ((x at time zone z) - "
        u"(x at time zone 'UTC'))) at time zone 'UTC' as c, w, z from (select cast(? as "
        u"timestamp) as w, cast(? as text) as z) as v, lateral generate_series((w at time "
        u"zone z) - interval '3 days', (w at time zone z) + interval '3 days', interval "
        u"'1 hour') as x) as candidates where (c at time zone z) = w",
        {BoundValue::OfText(wall), BoundValue::OfText(zone)});
    std::vector<CellValue> row;
    if (!result || !result->Fetch(row) || row.size() != 2 ||
        row[0].tag != CellValue::Tag::Integer || row[1].tag != CellValue::Tag::Text)
        throw Exception(u"The time " + std::u16string(wall) + u" does not exist in the time zone " +
                        std::u16string(zone) + u"; no row can be found by it.");
    if (row[0].integer != 1)
        throw Exception(u"The time " + std::u16string(wall) +
                        u" stands for two instants in the time zone " + std::u16string(zone) +
                        u" (the clock was set back); no row can be found by it.");
    return std::u16string(row[1].text) + u"+00";
}

std::vector<std::u16string> PostgresPartialIndexes(DriverConnection& connection,
                                                   std::u16string_view schema,
                                                   std::u16string_view table) {
    std::vector<std::u16string> names;
    auto result = connection.OpenBound(u"select i.relname from pg_catalog.pg_index x "
                                       u"join pg_catalog.pg_class i on i.oid = x.indexrelid "
                                       u"join pg_catalog.pg_class t on t.oid = x.indrelid "
                                       u"join pg_catalog.pg_namespace n on n.oid = t.relnamespace "
                                       u"where x.indpred is not null and t.relname = ? "
                                       u"and n.nspname = coalesce(nullif(?, ''), n.nspname)",
                                       {BoundValue::OfText(table), BoundValue::OfText(schema)});
    std::vector<CellValue> row;
    while (result && result->Fetch(row))
        if (row.at(0).tag == CellValue::Tag::Text)
            names.emplace_back(row[0].text);
    return names;
}

long long PostgresBackendPid(DriverConnection& connection) {
    try {
        auto result = connection.OpenResult(u"select pg_backend_pid()");
        std::vector<CellValue> row;
        if (result && result->Fetch(row) && row.size() == 1 &&
            row[0].tag == CellValue::Tag::Integer)
            return row[0].integer;
    } catch (const Exception&) {
    }
    return 0;
}

bool CancelPostgresBackend(std::u16string_view odbcConnectionString, int loginTimeoutSeconds,
                           long long pid) {
    auto other = ConnectOdbc(odbcConnectionString, loginTimeoutSeconds);
    auto result = other->OpenResult(u"select case when pg_cancel_backend(" + IntToStr(pid) +
                                    u") then 1 else 0 end");
    std::vector<CellValue> row;
    return result && result->Fetch(row) && row.size() == 1 &&
           row[0].tag == CellValue::Tag::Integer && row[0].integer == 1;
}

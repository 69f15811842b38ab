#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/drivers/SqlDialect.h"

class OdbcCancel;
class OdbcHandle;

// The keys that identify a table's rows (DriverConnection::UniqueKeys), as the connection
// `dbc`'s catalog functions give them: the primary key first, then each unique index that is
// neither over an expression nor partial, by its filter condition or by its name in
// `partialIndexes` where the driver gives no filter. Names are compared as `dialect` says. Its
// statements are what `cancel` stops.
std::vector<std::vector<std::u16string>>
OdbcUniqueKeys(const OdbcHandle& dbc, OdbcCancel& cancel, const SqlDialect& dialect,
               std::u16string_view schema, std::u16string_view table,
               const std::vector<std::u16string>& partialIndexes);

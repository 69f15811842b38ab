#pragma once

#include <functional>
#include <memory>

#include "data/drivers/Driver.h"
#include "data/drivers/odbc/OdbcCancel.h"
#include "data/drivers/odbc/OdbcHandle.h"
#include "data/drivers/odbc/OdbcPostgres.h"

// What a result needs to know of its connection to read every value exactly.
struct OdbcResultReading {
    bool postgres = false;
    // Asked once by a result that has instants (PostgreSQL's timestamptz).
    std::function<SessionZone()> sessionZone;
};

// The first result of the executed statement that has columns, or null when none has; `rc`
// is what executing it returned. The result reads its rows as it is asked, and once they are
// exhausted runs the statement's further results, raising their errors. Each read is a call of
// the connection that `cancel` cancels.
std::unique_ptr<DriverResult> OdbcFirstResult(OdbcHandle statement, SQLRETURN rc,
                                              const OdbcResultReading& reading,
                                              std::shared_ptr<OdbcCancel> cancel);

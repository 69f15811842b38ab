#pragma once

#include <string>

#include "data/drivers/odbc/OdbcApi.h"

// Every failure of an ODBC call becomes Exception here, carrying every diagnostic record of
// the handle, one message a line, as the driver wrote them; without any, a message naming the
// call and its return code.
[[noreturn]] void RaiseDiagnostics(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc,
                                   const char16_t* call);

// One ODBC handle, freed with its owner.
class OdbcHandle {
public:
    // Allocates a handle of `type` under `parent`; a failure raises the parent's diagnostics.
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent, SQLSMALLINT parentType);
    OdbcHandle(OdbcHandle&& other) noexcept;
    OdbcHandle& operator=(OdbcHandle&& other) noexcept;
    ~OdbcHandle();

    SQLHANDLE Get() const { return handle_; }
    // Raises this handle's diagnostics unless `rc` is a success.
    void Check(SQLRETURN rc, const char16_t* call) const {
        if (!SQL_SUCCEEDED(rc))
            Raise(rc, call);
    }
    [[noreturn]] void Raise(SQLRETURN rc, const char16_t* call) const;
    // The SQLSTATE of the first diagnostic record that the handle's last call left; empty
    // without one.
    std::u16string State() const;

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = nullptr;
};

// An environment that speaks ODBC 3.
OdbcHandle OdbcEnvironment();

// A new statement on the connection `dbc`.
OdbcHandle OdbcStatement(const OdbcHandle& dbc);

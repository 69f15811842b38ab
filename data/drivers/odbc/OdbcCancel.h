#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <utility>

#include "base/Exception.h"
#include "data/drivers/RunningCall.h"
#include "data/drivers/odbc/OdbcHandle.h"

// Cancelling the call an ODBC connection is running, from another thread: SQLCancel on the
// statement that the call waits on. A statement is known only while the call waits on it, so
// one being freed is never cancelled.
class OdbcCancel : public RunningCall {
public:
    // While it lives, the running call waits on `statement`; `executing`: in SQLExecDirect.
    class Wait {
    public:
        Wait(OdbcCancel& cancel, const OdbcHandle& statement, bool executing = false);
        ~Wait();
        Wait(const Wait&) = delete;
        Wait& operator=(const Wait&) = delete;

    private:
        OdbcCancel& cancel_;
    };

    // Runs `work` as one call of the connection. When it fails after a cancel, `afterCancel`
    // runs before the error goes on. A part of the call that failed after the cancel fails the
    // whole call with its error, even where the driver's own code went on without it.
    template <typename Work> auto Run(Work work) -> decltype(work());

    void Cancel() noexcept;

    // Set by the connection before its first call. `stopReading`: how to stop a statement whose
    // rows are being read, for a driver whose SQLCancel stops only its execution (psqlODBC);
    // runs under the lock and returns whether it reached the server. `afterCancel`: how to make
    // the connection ready for the next statement after a cancelled one.
    std::function<bool()> stopReading;
    std::function<void()> afterCancel;

private:
    bool Deliver(bool again);
    void Finished(const RunningCall::Scope& scope);
    void Failed(const RunningCall::Scope& scope, const Exception& error);

    // Guarded by mutex_.
    SQLHSTMT statement_ = nullptr;
    bool executing_ = false;
    // A cancel reached this wait and has not taken effect yet: a server can miss a cancel that
    // arrives just before its statement starts, so a repeat is delivered again.
    bool delivered_ = false;
    // Only the calling thread touches it.
    std::u16string partFailure_;
};

template <typename Work> auto OdbcCancel::Run(Work work) -> decltype(work()) {
    RunningCall::Scope scope(*this);
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            Finished(scope);
        } else {
            auto value = work();
            Finished(scope);
            return value;
        }
    } catch (const Exception& error) {
        Failed(scope, error);
        throw;
    }
}

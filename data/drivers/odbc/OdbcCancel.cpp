#include "data/drivers/odbc/OdbcCancel.h"

OdbcCancel::Wait::Wait(OdbcCancel& cancel, const OdbcHandle& statement, bool executing)
    : cancel_(cancel) {
    std::lock_guard lock(cancel_.mutex_);
    cancel_.statement_ = statement.Get();
    cancel_.executing_ = executing;
    cancel_.delivered_ = false;
}

// Under the lock, so that a cancel being delivered ends before the statement can be freed.
OdbcCancel::Wait::~Wait() {
    std::lock_guard lock(cancel_.mutex_);
    cancel_.statement_ = nullptr;
    cancel_.delivered_ = false;
}

void OdbcCancel::Cancel() noexcept {
    CancelWith([this](bool again) { return Deliver(again); });
}

bool OdbcCancel::Deliver(bool again) {
    // Once the cancelled wait is over, the call is only cleaning up, which no cancel may stop.
    if (!statement_ || (again && !delivered_))
        return false;
    if (!executing_ && stopReading) {
        try {
            delivered_ = stopReading();
        } catch (...) {
            delivered_ = false;
        }
    } else {
        delivered_ = SQL_SUCCEEDED(SQLCancel(statement_));
    }
    return delivered_;
}

void OdbcCancel::Finished(const RunningCall::Scope& scope) {
    if (scope.Outermost() && !partFailure_.empty())
        throw Exception(std::exchange(partFailure_, std::u16string()));
}

void OdbcCancel::Failed(const RunningCall::Scope& scope, const Exception& error) {
    if (!scope.Outermost()) {
        if (Cancelled() && partFailure_.empty())
            partFailure_ = error.Message();
        return;
    }
    // Still within the cancelled call, so that no repeated cancel stops this cleaning up; what
    // fails in it is no part of the next call.
    if (Cancelled() && afterCancel)
        afterCancel();
    partFailure_.clear();
}

#pragma once

#include <sqlite3.h>

#include "data/drivers/RunningCall.h"

// Cancelling the call a SQLite connection is running, from another thread. A cancelled call's
// statements stop at the engine's next progress callback, also those the call starts after the
// cancel (which the engine's own interrupt misses once no statement runs). The engine's
// interrupt is added only where it cannot outlive the call: it stays in force until no
// statement on the connection is open, so it would also fail a result left open.
class SqliteCancel : public RunningCall {
public:
    // Installs the progress callback on `db`, which must outlive every call.
    explicit SqliteCancel(sqlite3* db);
    SqliteCancel(const SqliteCancel&) = delete;
    SqliteCancel& operator=(const SqliteCancel&) = delete;

    // One call of the connection. `leavesNoneOpen`: the call finishes every statement it steps,
    // leaving no result open.
    class Call {
    public:
        Call(SqliteCancel& cancel, bool leavesNoneOpen);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        SqliteCancel& cancel_;
        RunningCall::Scope scope_;
    };

    void Cancel() noexcept;
    // Raises the engine's error for an interrupted statement once the running call is
    // cancelled; checked before each statement the call starts.
    void RaiseIfCancelled() const;

private:
    sqlite3* db_;
    bool interruptible_ = false; // guarded by mutex_
};

#include "data/drivers/sqlite/SqliteCancel.h"

#include "base/Exception.h"
#include "base/Text.h"

namespace {

// Often enough that a cancel takes effect within a fraction of a millisecond; seldom enough to
// cost nothing measurable.
constexpr int kInstructionsPerCheck = 1000;

bool AnyStatementOpen(sqlite3* db) {
    for (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr); s; s = sqlite3_next_stmt(db, s))
        if (sqlite3_stmt_busy(s))
            return true;
    return false;
}

} // namespace

SqliteCancel::SqliteCancel(sqlite3* db) : db_(db) {
    sqlite3_progress_handler(
        db, kInstructionsPerCheck,
        [](void* self) { return static_cast<SqliteCancel*>(self)->Cancelled() ? 1 : 0; }, this);
}

SqliteCancel::Call::Call(SqliteCancel& cancel, bool leavesNoneOpen)
    : cancel_(cancel), scope_(cancel) {
    // The interrupt ends when the last open statement does; that is within this call only when
    // nothing else is open and the call leaves nothing open.
    if (scope_.Outermost() && leavesNoneOpen && !AnyStatementOpen(cancel_.db_)) {
        std::lock_guard lock(cancel_.mutex_);
        cancel_.interruptible_ = true;
    }
}

SqliteCancel::Call::~Call() {
    if (!scope_.Outermost())
        return;
    std::lock_guard lock(cancel_.mutex_);
    cancel_.interruptible_ = false;
}

void SqliteCancel::Cancel() noexcept {
    CancelWith([this](bool) {
        if (interruptible_)
            sqlite3_interrupt(db_);
        return true;
    });
}

void SqliteCancel::RaiseIfCancelled() const {
    if (Cancelled())
        throw Exception(FromUtf8(sqlite3_errstr(SQLITE_INTERRUPT)));
}

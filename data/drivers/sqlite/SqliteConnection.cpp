#include <sqlite3.h>

#include <memory>
#include <utility>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/drivers/Driver.h"
#include "data/drivers/sqlite/SqliteCancel.h"
#include "data/drivers/sqlite/SqliteCatalog.h"
#include "data/drivers/sqlite/SqliteResult.h"
#include "data/drivers/sqlite/SqliteRowId.h"
#include "data/drivers/sqlite/SqliteStatement.h"

namespace {

class SqliteConnection : public DriverConnection {
public:
    explicit SqliteConnection(std::u16string_view path) {
        int rc = sqlite3_open_v2(ToUtf8(path).c_str(), &db_,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            std::u16string message =
                db_ ? SqliteText(sqlite3_errmsg16(db_)) : std::u16string(u"out of memory");
            sqlite3_close(db_);
            throw Exception(message + u": " + std::u16string(path));
        }
        // A database another program is writing waits a little instead of failing at once.
        sqlite3_busy_timeout(db_, 5000);
        sqlite3_extended_result_codes(db_, 1);
        cancel_ = std::make_shared<SqliteCancel>(db_);
    }
    ~SqliteConnection() override { sqlite3_close_v2(db_); }

    std::unique_ptr<DriverResult> OpenResult(std::u16string_view sql) override {
        SqliteCancel::Call call(*cancel_, false);
        std::unique_ptr<SqliteResult> result;
        Run(sql,
            [&](SqliteStatement& statement, std::u16string_view text, std::u16string_view rest) {
                if (sqlite3_column_count(statement.Get()) == 0) {
                    RunToEnd(db_, statement);
                    return false;
                }
                for (int attempt = 0;; ++attempt) {
                    bool readOnly = sqlite3_stmt_readonly(statement.Get());
                    SqliteStatement withRowId;
                    try {
                        withRowId = WithRowId(db_, statement.Get(), text);
                    } catch (const Exception&) {
                        // Without the rowid the result is only harder to change.
                    }
                    // The statement as written is then never run: only one of the two may be.
                    bool addsRowId = bool(withRowId);
                    result = std::make_unique<SqliteResult>(
                        db_, cancel_, addsRowId ? std::move(withRowId) : std::move(statement),
                        addsRowId, std::u16string(rest),
                        [this](std::u16string_view more) { Execute(more); });
                    // Compiled again at its first step, the statement met a schema that another
                    // connection changed: whether it can carry the rowid was judged by tables that
                    // are gone (a column may now be called rowid), so a statement that only reads
                    // is judged again by the tables as they are.
                    if (!readOnly || !result->Recompiled())
                        return true;
                    if (attempt > 0) {
                        if (!addsRowId)
                            return true;
                        throw Exception(u"The table changed while the statement was being "
                                        u"prepared; run it again.");
                    }
                    result.reset();
                    statement = PrepareSqlite(db_, text);
                    if (!statement)
                        throw Exception(u"The statement is empty");
                }
            });
        return result;
    }

    long long Execute(std::u16string_view sql) override {
        SqliteCancel::Call call(*cancel_, true);
        long long affected = 0;
        Run(sql, [&](SqliteStatement& statement, std::u16string_view, std::u16string_view) {
            affected += RunCounted(statement);
            return false;
        });
        return affected;
    }

    long long ExecuteBound(std::u16string_view sql,
                           const std::vector<BoundValue>& values) override {
        SqliteCancel::Call call(*cancel_, true);
        return RunCounted(PrepareBound(db_, sql, values));
    }

    std::unique_ptr<DriverResult> OpenBound(std::u16string_view sql,
                                            const std::vector<BoundValue>& values) override {
        SqliteCancel::Call call(*cancel_, false);
        SqliteStatement statement = PrepareBound(db_, sql, values);
        if (sqlite3_column_count(statement.Get()) == 0) {
            RunToEnd(db_, statement);
            return nullptr;
        }
        // The first step makes every change of an INSERT ... RETURNING, so that they happen,
        // and fail, within this call rather than at the first read.
        return std::make_unique<SqliteResult>(db_, cancel_, std::move(statement), false,
                                              std::u16string(), nullptr);
    }

    void BeginTransaction() override { Execute(u"BEGIN"); }

    void Commit() override {
        try {
            Execute(u"COMMIT");
        } catch (const Exception&) {
            // A COMMIT that fails (the database is busy) leaves the transaction open; the
            // connection goes back to committing each statement, without these changes.
            try {
                Rollback();
            } catch (const Exception&) {
            }
            throw;
        }
    }

    void Rollback() override {
        // The engine itself rolls back on some errors (a full disk, say, or an interrupted
        // change); then nothing is left to undo. Undoing is no call that a cancel stops: after a
        // COMMIT was cancelled, the transaction must still end.
        if (!sqlite3_get_autocommit(db_))
            RunToEnd(db_, PrepareSqlite(db_, u"ROLLBACK"));
    }

    std::vector<std::vector<std::u16string>> UniqueKeys(std::u16string_view schema,
                                                        std::u16string_view table) override {
        SqliteCancel::Call call(*cancel_, true);
        return SqliteUniqueKeys(db_, schema, table);
    }

    void Cancel() noexcept override { cancel_->Cancel(); }

    SqlDialect Dialect() override { return SqliteDialect(); }

private:
    long long RunCounted(const SqliteStatement& statement) {
        auto before = sqlite3_total_changes64(db_);
        RunToEnd(db_, statement);
        // changes() keeps the count of the last data change, so a statement that changed
        // nothing (a CREATE, say) must not repeat it.
        return sqlite3_total_changes64(db_) != before ? sqlite3_changes64(db_) : 0;
    }

    // Prepares the text's statements one after another and hands each, with its own text and
    // the text after it, to `use`, until `use` returns true or the text ends.
    template <typename Use> void Run(std::u16string_view sql, Use use) {
        while (!sql.empty()) {
            std::u16string_view rest;
            SqliteStatement statement = PrepareSqlite(db_, sql, &rest);
            std::u16string_view text = sql.substr(0, sql.size() - rest.size());
            sql = rest;
            if (!statement)
                continue; // blanks or a comment
            // Once no statement runs, the engine would start the next one as if not cancelled.
            cancel_->RaiseIfCancelled();
            // The engine would quietly take unset parameters as NULL; other databases refuse
            // them, and a statement meant for values should not run without them.
            if (sqlite3_bind_parameter_count(statement.Get()) > 0)
                throw Exception(u"No value given for one or more required parameters.");
            if (use(statement, text, rest))
                return;
        }
    }

    sqlite3* db_ = nullptr;
    // Shared with the results, whose reads are calls of this connection too.
    std::shared_ptr<SqliteCancel> cancel_;
};

} // namespace

std::unique_ptr<DriverConnection> ConnectSqlite(std::u16string_view path) {
    // The engine would open a private temporary database for an empty name, which looks like
    // success but keeps nothing.
    if (path.empty())
        throw Exception(u"No database file given: type the path of the SQLite database in "
                        u"Database");
    return std::make_unique<SqliteConnection>(path);
}

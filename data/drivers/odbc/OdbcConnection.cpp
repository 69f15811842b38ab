#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "base/Exception.h"
#include "data/drivers/Driver.h"
#include "data/drivers/odbc/OdbcCancel.h"
#include "data/drivers/odbc/OdbcCatalog.h"
#include "data/drivers/odbc/OdbcDialect.h"
#include "data/drivers/odbc/OdbcHandle.h"
#include "data/drivers/odbc/OdbcParameters.h"
#include "data/drivers/odbc/OdbcPostgres.h"
#include "data/drivers/odbc/OdbcResult.h"

namespace {

// PostgreSQL's SQLSTATE for "current transaction is aborted, commands ignored until end of
// transaction block".
constexpr std::u16string_view kPostgresFailedTransaction = u"25P02";

SQLRETURN ExecDirect(OdbcCancel& cancel, const OdbcHandle& statement, std::u16string_view sql) {
    if (sql.size() > std::size_t(INT_MAX))
        throw Exception(u"The statement is too long");
    std::u16string text(sql); // the API takes it as writable
    OdbcCancel::Wait wait(cancel, statement, true);
    return SQLExecDirectW(statement.Get(), Wide(text.data()), SQLINTEGER(text.size()));
}

// The rows the executed statement changed, over all its results; -1 when none was counted.
long long RowsAffected(OdbcCancel& cancel, const OdbcHandle& statement, SQLRETURN rc) {
    OdbcCancel::Wait wait(cancel, statement);
    // SQL_NO_DATA: a searched UPDATE or DELETE that matched nothing, which still counts.
    bool counted = rc == SQL_NO_DATA;
    if (!counted)
        statement.Check(rc, u"SQLExecDirect");
    long long affected = 0;
    for (;;) {
        SQLSMALLINT columns = 0;
        statement.Check(SQLNumResultCols(statement.Get(), &columns), u"SQLNumResultCols");
        // Some drivers count a query's rows too; only changes are rows affected.
        SQLLEN count = -1;
        if (columns == 0 && SQL_SUCCEEDED(SQLRowCount(statement.Get(), &count)) && count >= 0) {
            affected += count;
            counted = true;
        }
        rc = SQLMoreResults(statement.Get());
        if (rc == SQL_NO_DATA)
            break;
        statement.Check(rc, u"SQLMoreResults");
    }
    return counted ? affected : -1;
}

class OdbcConnection : public DriverConnection {
public:
    OdbcConnection(std::u16string_view connectionString, int loginTimeoutSeconds)
        : env_(OdbcEnvironment()), dbc_(SQL_HANDLE_DBC, env_.Get(), SQL_HANDLE_ENV),
          cancel_(std::make_shared<OdbcCancel>()) {
        // A driver that cannot time out its login still connects; the setting is a wish.
        SQLSetConnectAttrW(dbc_.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(std::intptr_t(loginTimeoutSeconds)), 0);
        if (connectionString.size() > std::size_t(SHRT_MAX))
            throw Exception(u"The ODBC connection string is too long");
        std::u16string text(connectionString);
        SQLSMALLINT outLength = 0;
        dbc_.Check(SQLDriverConnectW(dbc_.Get(), nullptr, Wide(text.data()),
                                     SQLSMALLINT(text.size()), nullptr, 0, &outLength,
                                     SQL_DRIVER_NOPROMPT),
                   u"SQLDriverConnect");
        connected_ = true;
        dbms_ = InfoText(SQL_DBMS_NAME);
        reading_.postgres = IsPostgres(dbms_);
        reading_.sessionZone = [this] { return PostgresSessionZone(*this); };
        if (reading_.postgres)
            CancelAsPostgres(connectionString, loginTimeoutSeconds);
    }

    ~OdbcConnection() override {
        if (!connected_)
            return;
        // A transaction left open keeps a connection from closing; it is abandoned.
        if (!SQL_SUCCEEDED(SQLDisconnect(dbc_.Get()))) {
            SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_ROLLBACK);
            SQLDisconnect(dbc_.Get());
        }
    }

    std::unique_ptr<DriverResult> OpenResult(std::u16string_view sql) override {
        return cancel_->Run([&] {
            OdbcHandle statement = OdbcStatement(dbc_);
            SQLRETURN rc = ExecDirect(*cancel_, statement, sql);
            return OdbcFirstResult(std::move(statement), rc, reading_, cancel_);
        });
    }

    long long Execute(std::u16string_view sql) override {
        return cancel_->Run([&] {
            OdbcHandle statement = OdbcStatement(dbc_);
            return RowsAffected(*cancel_, statement, ExecDirect(*cancel_, statement, sql));
        });
    }

    long long ExecuteBound(std::u16string_view sql,
                           const std::vector<BoundValue>& values) override {
        return cancel_->Run([&] {
            OdbcHandle statement = OdbcStatement(dbc_);
            std::vector<OdbcParameter> parameters;
            BindParameters(statement, values, parameters);
            return RowsAffected(*cancel_, statement, ExecDirect(*cancel_, statement, sql));
        });
    }

    std::unique_ptr<DriverResult> OpenBound(std::u16string_view sql,
                                            const std::vector<BoundValue>& values) override {
        return cancel_->Run([&]() -> std::unique_ptr<DriverResult> {
            OdbcHandle statement = OdbcStatement(dbc_);
            std::vector<OdbcParameter> parameters;
            BindParameters(statement, values, parameters);
            SQLRETURN rc = ExecDirect(*cancel_, statement, sql);
            // A searched UPDATE ... RETURNING that matched nothing has no result to describe.
            if (rc == SQL_NO_DATA)
                return nullptr;
            // The values have been sent; the result outlives their buffers.
            if (SQL_SUCCEEDED(rc))
                SQLFreeStmt(statement.Get(), SQL_RESET_PARAMS);
            return OdbcFirstResult(std::move(statement), rc, reading_, cancel_);
        });
    }

    void BeginTransaction() override {
        if (inTransaction_)
            throw Exception(u"A transaction is already active");
        SetAutocommit(false);
        inTransaction_ = true;
    }

    void Commit() override {
        if (!inTransaction_)
            throw Exception(u"No transaction is active");
        try {
            dbc_.Check(SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_COMMIT), u"SQLEndTran");
        } catch (const Exception&) {
            // Whatever the database kept of it, the transaction ends here, undone; the
            // commit's own error is the one to report.
            try {
                Rollback();
            } catch (const Exception&) {
            }
            throw;
        }
        inTransaction_ = false;
        SetAutocommit(true);
    }

    void Rollback() override {
        if (!inTransaction_)
            return;
        inTransaction_ = false;
        SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_ROLLBACK);
        // Back to committing each statement even when the rollback failed (a lost
        // connection): the next statement must not join a transaction no one will end.
        SetAutocommit(true);
        dbc_.Check(rc, u"SQLEndTran");
    }

    std::vector<std::vector<std::u16string>> UniqueKeys(std::u16string_view schema,
                                                        std::u16string_view table) override {
        return cancel_->Run([&] {
            std::vector<std::u16string> partial;
            if (reading_.postgres)
                partial = PostgresPartialIndexes(*this, schema, table);
            return OdbcUniqueKeys(dbc_, *cancel_, Dialect(), schema, table, partial);
        });
    }

    SqlDialect Dialect() override {
        OdbcDatabaseInfo info;
        info.dbmsName = dbms_;
        info.dbmsVersion = InfoText(SQL_DBMS_VER);
        info.identifierQuote = InfoText(SQL_IDENTIFIER_QUOTE_CHAR);
        SQLUSMALLINT quotedCase = 0;
        info.quotedNamesMixedCase =
            SQL_SUCCEEDED(SQLGetInfoW(dbc_.Get(), SQL_QUOTED_IDENTIFIER_CASE, &quotedCase,
                                      sizeof quotedCase, nullptr)) &&
            quotedCase == SQL_IC_MIXED;
        return OdbcDialect(info);
    }

    void Cancel() noexcept override { cancel_->Cancel(); }

private:
    // psqlODBC's SQLCancel stops a statement only while it executes, not a FETCH of its cursor
    // that reading its rows sends; the server itself then cancels what this connection's
    // process runs, asked through a connection of its own.
    void CancelAsPostgres(std::u16string_view connectionString, int loginTimeoutSeconds) {
        if (long long process = PostgresBackendPid(*this))
            cancel_->stopReading = [text = std::u16string(connectionString), loginTimeoutSeconds,
                                    process] {
                return CancelPostgresBackend(text, loginTimeoutSeconds, process);
            };
        // psqlODBC rolls a failed statement back to where it began, unless told to leave that
        // to the program (Protocol=7.4-0): then the transaction it opened for its cursors
        // refuses every later statement until it ends. Within the caller's own transaction,
        // the caller rolls back; otherwise it is rolled back here, and only when it failed,
        // since a rollback would also end the cursors of the results still being read.
        cancel_->afterCancel = [this] {
            if (!inTransaction_ && InFailedTransaction()) {
                try {
                    Execute(u"ROLLBACK");
                } catch (const Exception&) {
                }
            }
        };
    }

    bool InFailedTransaction() {
        try {
            OdbcHandle statement = OdbcStatement(dbc_);
            SQLRETURN rc = ExecDirect(*cancel_, statement, u"select 1");
            return !SQL_SUCCEEDED(rc) && statement.State() == kPostgresFailedTransaction;
        } catch (const Exception&) {
            return false;
        }
    }

    void SetAutocommit(bool on) {
        dbc_.Check(SQLSetConnectAttrW(dbc_.Get(), SQL_ATTR_AUTOCOMMIT,
                                      reinterpret_cast<SQLPOINTER>(std::intptr_t(
                                          on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
                                      SQL_IS_UINTEGER),
                   u"SQLSetConnectAttr");
    }

    // A text that SQLGetInfo gives about the database; empty when the driver does not say.
    std::u16string InfoText(SQLUSMALLINT type) {
        std::u16string value(256, u'\0');
        SQLSMALLINT bytes = 0;
        if (!SQL_SUCCEEDED(SQLGetInfoW(dbc_.Get(), type, value.data(),
                                       SQLSMALLINT(value.size() * sizeof(char16_t)), &bytes)))
            return {};
        value.resize(std::min<std::size_t>(std::max<SQLSMALLINT>(bytes, 0) / sizeof(char16_t),
                                           value.size() - 1));
        return value;
    }

    // Binds each value to the marker at its position; `parameters` keeps their buffers. A
    // PostgreSQL wall time read in a zone with summer time is bound as the instant it stands
    // for, since the column may be read in another zone by then.
    void BindParameters(const OdbcHandle& statement, const std::vector<BoundValue>& values,
                        std::vector<OdbcParameter>& parameters) {
        parameters.assign(values.size(), OdbcParameter());
        for (std::size_t i = 0; i < values.size(); ++i) {
            OdbcParameter& p = parameters[i];
            const CellValue& value = values[i].value;
            std::u16string_view wall, zone;
            if (value.tag == CellValue::Tag::DateTime && reading_.postgres &&
                SplitZonedWallTime(value.text, wall, zone))
                p.SetText(ResolvePostgresWallTime(*this, wall, zone), SQL_WVARCHAR);
            else
                p.Set(values[i]);
            p.Bind(statement, SQLUSMALLINT(i + 1));
        }
    }

    OdbcHandle env_;
    OdbcHandle dbc_;
    std::u16string dbms_;
    OdbcResultReading reading_;
    // Shared with the results, whose reads are calls of this connection too.
    std::shared_ptr<OdbcCancel> cancel_;
    bool connected_ = false;
    bool inTransaction_ = false;
};

} // namespace

std::unique_ptr<DriverConnection> ConnectOdbc(std::u16string_view odbcConnectionString,
                                              int loginTimeoutSeconds) {
    return std::make_unique<OdbcConnection>(odbcConnectionString, loginTimeoutSeconds);
}

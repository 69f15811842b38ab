#include "data/WaitingConnection.h"

#include <optional>
#include <type_traits>

namespace {

class WaitingResult final : public DriverResult {
public:
    WaitingResult(std::unique_ptr<DriverResult> inner, DriverConnection& connection, LongWork& work)
        : inner_(std::move(inner)), connection_(connection), work_(work) {}

    const std::vector<ColumnInfo>& Columns() const override { return inner_->Columns(); }
    bool Fetch(std::vector<CellValue>& row) override {
        bool fetched = false;
        work_.Run([&] { fetched = inner_->Fetch(row); }, [this] { connection_.Cancel(); });
        return fetched;
    }
    bool MoreStatementsFollow() const override { return inner_->MoreStatementsFollow(); }

private:
    std::unique_ptr<DriverResult> inner_;
    DriverConnection& connection_;
    LongWork& work_;
};

} // namespace

template <class Call> auto WaitingConnection::Wait(Call call) {
    using Result = std::invoke_result_t<Call>;
    if constexpr (std::is_void_v<Result>) {
        work_.Run(call, [this] { inner_.Cancel(); });
    } else {
        std::optional<Result> result;
        work_.Run([&] { result.emplace(call()); }, [this] { inner_.Cancel(); });
        return std::move(*result);
    }
}

std::unique_ptr<DriverResult> WaitingConnection::Waiting(std::unique_ptr<DriverResult> result) {
    if (!result)
        return result;
    return std::make_unique<WaitingResult>(std::move(result), inner_, work_);
}

std::unique_ptr<DriverResult> WaitingConnection::OpenResult(std::u16string_view sql) {
    return Waiting(Wait([&] { return inner_.OpenResult(sql); }));
}

long long WaitingConnection::Execute(std::u16string_view sql) {
    return Wait([&] { return inner_.Execute(sql); });
}

long long WaitingConnection::ExecuteBound(std::u16string_view sql,
                                          const std::vector<BoundValue>& values) {
    return Wait([&] { return inner_.ExecuteBound(sql, values); });
}

std::unique_ptr<DriverResult> WaitingConnection::OpenBound(std::u16string_view sql,
                                                           const std::vector<BoundValue>& values) {
    return Waiting(Wait([&] { return inner_.OpenBound(sql, values); }));
}

void WaitingConnection::BeginTransaction() {
    Wait([&] { inner_.BeginTransaction(); });
}

void WaitingConnection::Commit() {
    Wait([&] { inner_.Commit(); });
}

void WaitingConnection::Rollback() {
    Wait([&] { inner_.Rollback(); });
}

std::vector<std::vector<std::u16string>> WaitingConnection::UniqueKeys(std::u16string_view schema,
                                                                       std::u16string_view table) {
    return Wait([&] { return inner_.UniqueKeys(schema, table); });
}

SqlDialect WaitingConnection::Dialect() {
    return Wait([&] { return inner_.Dialect(); });
}

#pragma once

#include <memory>

#include "data/LongWork.h"
#include "data/drivers/Driver.h"

// A driver connection each of whose calls runs as long work, and so does each fetch of a result
// it hands out: the program waits for the database without freezing, and the user's cancel
// cancels the running statement. For statements and short reads; a long read of many rows is
// better run as one piece of work.
class WaitingConnection final : public DriverConnection {
public:
    WaitingConnection(DriverConnection& inner, LongWork& work) : inner_(inner), work_(work) {}

    std::unique_ptr<DriverResult> OpenResult(std::u16string_view sql) override;
    long long Execute(std::u16string_view sql) override;
    long long ExecuteBound(std::u16string_view sql, const std::vector<BoundValue>& values) override;
    std::unique_ptr<DriverResult> OpenBound(std::u16string_view sql,
                                            const std::vector<BoundValue>& values) override;
    void BeginTransaction() override;
    void Commit() override;
    void Rollback() override;
    std::vector<std::vector<std::u16string>> UniqueKeys(std::u16string_view schema,
                                                        std::u16string_view table) override;
    SqlDialect Dialect() override;
    void Cancel() noexcept override { inner_.Cancel(); }

private:
    template <class Call> auto Wait(Call call);
    std::unique_ptr<DriverResult> Waiting(std::unique_ptr<DriverResult> result);

    DriverConnection& inner_;
    LongWork& work_;
};

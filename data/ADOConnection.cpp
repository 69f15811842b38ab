#include "data/ADOConnection.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "base/Exception.h"
#include "data/ADOQuery.h"

namespace {

// One try to connect, on a thread of its own: a driver may give the user no way to stop it
// before its login time-out, so a cancelled wait leaves it to end alone, and what it opens
// then is closed unused.
struct ConnectAttempt {
    std::mutex mutex;
    std::condition_variable done;
    bool ended = false;
    bool abandoned = false;
    std::unique_ptr<DriverConnection> driver;
    std::optional<Exception> failure;
};

} // namespace

TADOConnection::TADOConnection() = default;

TADOConnection::~TADOConnection() {
    for (TADOQuery* query : queries_) {
        query->EndReadingNow();
        query->connection_ = nullptr;
    }
}

void TADOConnection::SetLongWork(LongWork* work) {
    work_ = work ? work : &InlineWork();
    if (driver_)
        waiting_ = std::make_unique<WaitingConnection>(*driver_, *work_);
}

void TADOConnection::Open() {
    if (driver_)
        return;
    auto attempt = std::make_shared<ConnectAttempt>();
    std::thread([attempt, connectionString = connectionString_, timeout = LoginTimeout()] {
        std::unique_ptr<DriverConnection> driver;
        std::optional<Exception> failure;
        try {
            driver = ConnectDriver(connectionString, timeout);
        } catch (const Exception& e) {
            failure = e;
        } catch (const std::exception&) {
            failure = Exception(u"Out of memory while connecting");
        }
        std::lock_guard lock(attempt->mutex);
        attempt->driver = std::move(driver);
        attempt->failure = std::move(failure);
        attempt->ended = true;
        attempt->done.notify_all();
    }).detach();
    work_->Run(
        [&] {
            std::unique_lock lock(attempt->mutex);
            attempt->done.wait(lock, [&] { return attempt->ended || attempt->abandoned; });
        },
        [&] {
            std::lock_guard lock(attempt->mutex);
            attempt->abandoned = true;
            attempt->done.notify_all();
        });
    std::lock_guard lock(attempt->mutex);
    if (!attempt->ended)
        throw EAbort(u"Connecting was cancelled");
    if (attempt->failure)
        throw *attempt->failure;
    driver_ = std::move(attempt->driver);
    waiting_ = std::make_unique<WaitingConnection>(*driver_, *work_);
}

void TADOConnection::Close() {
    if (!driver_)
        return;
    // A query whose remaining rows cannot be read keeps those it has; the connection closes
    // all the same, and the first such failure is reported afterwards. Reading them stopped by
    // the user keeps the connection open.
    std::exception_ptr failure;
    for (TADOQuery* query : queries_) {
        query->Cancel();
        try {
            query->DetachFromConnection();
        } catch (const EAbort&) {
            throw;
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    waiting_.reset();
    driver_.reset();
    if (failure)
        std::rethrow_exception(failure);
}

DriverConnection& TADOConnection::Driver() {
    Open();
    return *waiting_;
}

DriverConnection& TADOConnection::Direct() {
    Open();
    return *driver_;
}

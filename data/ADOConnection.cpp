#include "data/ADOConnection.h"

#include <exception>

#include "data/ADOQuery.h"

TADOConnection::TADOConnection() = default;

TADOConnection::~TADOConnection() {
    for (TADOQuery* query : queries_)
        query->connection_ = nullptr;
}

void TADOConnection::Open() {
    if (!driver_)
        driver_ = ConnectDriver(connectionString_, LoginTimeout());
}

void TADOConnection::Close() {
    if (!driver_)
        return;
    // A query whose remaining rows cannot be read keeps those it has; the connection closes
    // all the same, and the first such failure is reported afterwards.
    std::exception_ptr failure;
    for (TADOQuery* query : queries_) {
        query->Cancel();
        try {
            query->DetachFromConnection();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    driver_.reset();
    if (failure)
        std::rethrow_exception(failure);
}

DriverConnection& TADOConnection::Driver() {
    Open();
    return *driver_;
}

#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/drivers/Driver.h"

class TADOQuery;

// The program's one database connection. It opens without prompting: user and password come
// only from the connection string.
class TADOConnection {
public:
    TADOConnection();
    ~TADOConnection();
    TADOConnection(const TADOConnection&) = delete;
    TADOConnection& operator=(const TADOConnection&) = delete;

    bool Connected() const { return driver_ != nullptr; }
    // Used by every later open; an open connection keeps running on the old one.
    void SetConnectionString(std::u16string text) { connectionString_ = std::move(text); }
    const std::u16string& ConnectionString() const { return connectionString_; }
    // Seconds to wait for a server before giving up.
    int LoginTimeout() const { return 15; }

    // Opens with the connection string last set; nothing when already open.
    void Open();
    // Cancels each query's unposted row edit, then closes. Open queries stay open.
    void Close();

    // The open connection, opening it first when closed.
    DriverConnection& Driver();

private:
    friend class TADOQuery;
    std::u16string connectionString_;
    std::unique_ptr<DriverConnection> driver_;
    std::vector<TADOQuery*> queries_;
};

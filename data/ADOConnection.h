#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/LongWork.h"
#include "data/WaitingConnection.h"
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

    // How this connection and its queries wait for the database; the calling thread itself
    // unless set. `work` must outlive the connection.
    void SetLongWork(LongWork* work);
    LongWork& Work() const { return *work_; }
    // Reading ahead: once a query has read its first rows, the rest are read in the background
    // until they are all in or its row cache holds `ceilingBytes`; past that, rows are read as
    // they are asked for. `news` is called on the reading thread as rows come in and when the
    // reading stops; whoever hears it calls the query's RowsArrived on the query's own thread.
    // Off (0) unless set.
    void SetReadAhead(std::size_t ceilingBytes, std::function<void()> news) {
        readAheadBytes_ = ceilingBytes;
        readAheadNews_ = std::move(news);
    }
    std::size_t ReadAheadBytes() const { return readAheadBytes_; }
    const std::function<void()>& ReadAheadNews() const { return readAheadNews_; }

    // Opens with the connection string last set; nothing when already open. Connecting runs as
    // long work; a wait the user cancels raises EAbort and leaves the connection closed.
    void Open();
    // Cancels each query's unposted row edit, reads the rest of each open result, then closes.
    // Open queries stay open. Reading the rest stopped by the user (EAbort) leaves the
    // connection open.
    void Close();

    // The open connection, opening it first when closed. Each of its calls runs as long work.
    DriverConnection& Driver();

private:
    friend class TADOQuery;
    // The driver itself, opening it first when closed, for a query's own long work.
    DriverConnection& Direct();

    std::u16string connectionString_;
    LongWork* work_ = &InlineWork();
    std::size_t readAheadBytes_ = 0;
    std::function<void()> readAheadNews_;
    std::unique_ptr<DriverConnection> driver_;
    std::unique_ptr<WaitingConnection> waiting_;
    std::vector<TADOQuery*> queries_;
};

#include "data/ResultReader.h"

#include <algorithm>
#include <chrono>

namespace {

// How often a reading thread tells its owner that rows came in.
constexpr auto newsInterval = std::chrono::milliseconds(100);
// Rows read at a time: the thread looks whether to go on, and at the clock, between two such
// pieces, and stops after the piece it is reading.
constexpr std::size_t rowsPerPiece = 64;
// How long a waiter sleeps between two looks at the rows.
constexpr auto waitStep = std::chrono::milliseconds(1);

} // namespace

ResultReader::ResultReader(std::unique_ptr<DriverResult> result, RowCache& cache,
                           std::function<void()> news)
    : result_(std::move(result)), cache_(cache), news_(std::move(news)) {
    ended_ = !result_;
}

ResultReader::~ResultReader() {
    Stop();
}

void ResultReader::ReadInBackground(std::size_t ceilingBytes) {
    std::unique_lock lock(mutex_);
    ceilingBytes_ = ceilingBytes;
    background_ = true;
    Start(lock);
}

void ResultReader::ReadTo(std::size_t count) {
    std::unique_lock lock(mutex_);
    if (count > target_)
        target_ = count;
    Start(lock);
}

bool ResultReader::Wanted() const {
    return !stopping_ &&
           (cache_.RowCount() < target_ || (background_ && cache_.BytesUsed() < ceilingBytes_));
}

void ResultReader::Start(std::unique_lock<std::mutex>& lock) {
    if (running_ || ended_ || failure_)
        return;
    stopping_ = false;
    if (!Wanted())
        return;
    if (thread_.joinable()) {
        // It has decided to stop: running_ is false.
        lock.unlock();
        thread_.join();
        lock.lock();
    }
    running_ = true;
    thread_ = std::thread([this] { Read(); });
}

std::size_t ResultReader::PieceRows() const {
    std::size_t rows = cache_.RowCount();
    std::size_t target = target_;
    if (background_ || target <= rows)
        return rowsPerPiece;
    return std::min(rowsPerPiece, target - rows);
}

void ResultReader::Read() {
    auto lastNews = std::chrono::steady_clock::now();
    bool more = true;
    std::optional<Exception> failure;
    for (;;) {
        // Whether to go on is decided under the lock only when it looks like stopping, so that
        // a wish for more rows made at that moment is not missed; every other row it is a few
        // plain reads.
        if (!Wanted()) {
            std::lock_guard lock(mutex_);
            if (!Wanted()) {
                running_ = false;
                break;
            }
        }
        try {
            std::size_t piece = PieceRows();
            more = result_->FetchInto(cache_, piece) == piece;
        } catch (const Exception& e) {
            failure = e;
        } catch (const std::exception&) {
            failure = Exception(u"Out of memory while reading the rows");
        }
        if (failure || !more) {
            // Let go of the database now rather than when the result is closed.
            result_.reset();
            std::lock_guard lock(mutex_);
            if (failure)
                failure_ = std::move(failure);
            else
                ended_ = true;
            running_ = false;
            break;
        }
        if (news_) {
            auto now = std::chrono::steady_clock::now();
            if (now - lastNews >= newsInterval) {
                lastNews = now;
                news_();
            }
        }
    }
    if (news_)
        news_();
}

bool ResultReader::WaitFor(std::size_t count, std::uint64_t begun) {
    // A waiter looks now and then rather than being woken, so that the reading thread never
    // pays for telling it of each row.
    while (cache_.RowCount() < count && running_ && abandoned_ == begun)
        std::this_thread::sleep_for(waitStep);
    return cache_.RowCount() >= count;
}

void ResultReader::Abandon() {
    ++abandoned_;
}

void ResultReader::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        target_ = cache_.RowCount();
        background_ = false;
    }
    if (thread_.joinable())
        thread_.join();
}

bool ResultReader::Running() const {
    return running_;
}

bool ResultReader::Ended() const {
    std::lock_guard lock(mutex_);
    return ended_;
}

std::optional<Exception> ResultReader::Failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

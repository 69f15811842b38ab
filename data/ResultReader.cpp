#include "data/ResultReader.h"

#include <chrono>

namespace {

// How often a reading thread tells its owner that rows came in.
constexpr auto newsInterval = std::chrono::milliseconds(100);

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
    background_ = true;
    ceilingBytes_ = ceilingBytes;
    Start(lock);
}

void ResultReader::ReadTo(std::size_t count) {
    std::unique_lock lock(mutex_);
    if (count > target_)
        target_ = count;
    Start(lock);
}

bool ResultReader::Wanted() const {
    std::size_t rows = cache_.RowCount();
    return rows < target_ || (background_ && cache_.BytesUsed() < ceilingBytes_);
}

void ResultReader::Start(std::unique_lock<std::mutex>& lock) {
    if (running_ || ended_ || failure_ || !Wanted())
        return;
    if (thread_.joinable()) {
        // It has stopped, or is about to: running_ is false.
        lock.unlock();
        thread_.join();
        lock.lock();
        if (running_ || ended_ || failure_ || !Wanted())
            return;
    }
    running_ = true;
    stopping_ = false;
    thread_ = std::thread([this] { Read(); });
}

void ResultReader::Read() {
    std::vector<CellValue> row;
    auto lastNews = std::chrono::steady_clock::now();
    bool more = true;
    std::optional<Exception> failure;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            // The row appended last is published by now; a waiter that saw none before hears
            // of it here.
            if (waiters_ > 0)
                changed_.notify_all();
            if (stopping_ || !Wanted())
                break;
        }
        try {
            more = result_->Fetch(row);
            if (more)
                cache_.Append(row);
        } catch (const Exception& e) {
            failure = e;
        } catch (const std::exception&) {
            failure = Exception(u"Out of memory while reading the rows");
        }
        if (failure || !more) {
            // Let go of the database now rather than when the result is closed.
            result_.reset();
            break;
        }
        auto now = std::chrono::steady_clock::now();
        if (news_ && now - lastNews >= newsInterval) {
            lastNews = now;
            news_();
        }
    }
    {
        std::lock_guard lock(mutex_);
        if (failure)
            failure_ = std::move(failure);
        else if (!more)
            ended_ = true;
        running_ = false;
        changed_.notify_all();
    }
    if (news_)
        news_();
}

bool ResultReader::WaitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    std::uint64_t abandoned = abandoned_;
    ++waiters_;
    changed_.wait(
        lock, [&] { return cache_.RowCount() >= count || !running_ || abandoned_ != abandoned; });
    --waiters_;
    return cache_.RowCount() >= count;
}

void ResultReader::Abandon() {
    std::lock_guard lock(mutex_);
    ++abandoned_;
    changed_.notify_all();
}

void ResultReader::Stop() {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    target_ = cache_.RowCount();
    background_ = false;
    lock.unlock();
    if (thread_.joinable())
        thread_.join();
}

bool ResultReader::Running() const {
    std::lock_guard lock(mutex_);
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

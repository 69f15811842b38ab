#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/CellValue.h"

// The rows of a result fetched so far, kept compactly: per cell one tag byte and one 8-byte
// slot holding a number, a packed date or a reference into a shared text buffer. No cell owns
// a heap allocation of its own, and nothing moves once stored.
//
// One thread may append rows while another reads them: every row below RowCount() stays where
// it is, whatever is appended after it. Insert, Replace and Remove change rows in place and
// must not run while another thread reads.
class RowCache {
public:
    explicit RowCache(std::size_t columnCount);
    ~RowCache();
    RowCache(const RowCache&) = delete;
    RowCache& operator=(const RowCache&) = delete;

    std::size_t ColumnCount() const { return columnCount_; }
    std::size_t RowCount() const { return rowCount_.load(std::memory_order_acquire); }
    // Copies one row's values (one per column) in.
    void Append(const std::vector<CellValue>& row);
    // Puts a row in before row `at` (at the end for RowCount()), moving the later rows down.
    void Insert(std::size_t at, const std::vector<CellValue>& row);
    // Gives an existing row new values.
    void Replace(std::size_t at, const std::vector<CellValue>& row);
    // Takes a row out, moving the later rows up. Its text stays in the chunks until the cache
    // goes: rows are changed one at a time by hand, so that waste stays small.
    void Remove(std::size_t at);
    // The value; its text and bytes stay valid as long as the cache.
    CellValue Cell(std::size_t row, std::size_t column) const;
    // Bytes held for the rows, their values and the bookkeeping.
    std::size_t BytesUsed() const { return bytesUsed_.load(std::memory_order_relaxed); }

private:
    struct Block;
    // Copies a value's text or bytes into the chunks, after `packedBefore` when given.
    const char16_t* Store(const void* data, std::uint32_t byteCount,
                          const std::uint64_t* packedBefore = nullptr);
    Block& BlockOf(std::size_t row) const;
    void AddBlock();
    void PopBlock();
    void CountBytes();
    CellValue::Tag* Tags(std::size_t row);
    std::uint64_t* Slots(std::size_t row);
    void Write(std::size_t row, const std::vector<CellValue>& values);
    void CopyRow(std::size_t from, std::size_t to);

    std::size_t columnCount_;
    std::atomic<std::size_t> rowCount_{0};
    // Blocks are found through a fixed table of pages of block pointers, so that appending a
    // block never moves anything a reader is looking at.
    static constexpr std::size_t pageBlocks = 4096;
    std::array<std::unique_ptr<std::unique_ptr<Block>[]>, 4096> pages_;
    std::size_t blockCount_ = 0;
    std::atomic<std::size_t> bytesUsed_{0};
    // Text and bytes, each value prefixed by its length, in chunks that are never moved.
    std::vector<std::unique_ptr<char16_t[]>> chunks_;
    std::size_t chunkBytes_ = 0;
    std::size_t chunkUsed_ = 0; // units used in the last chunk
    std::size_t chunkSize_ = 0; // units in the last chunk
};

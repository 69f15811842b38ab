#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "data/CellValue.h"

// The rows of a result fetched so far, kept compactly: per cell one tag byte and one 8-byte
// slot holding a number, a packed date or the address of its text or bytes in shared chunks,
// where each is kept as it came (UTF-8 text as UTF-8) behind a length of one byte for short
// values. No cell owns a heap allocation of its own, and nothing moves once stored.
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

    // Appending a row straight from a driver, without building its values first: StartRow,
    // then one Put per column, then EndRow, which shows the row to readers. A row that is
    // started again before its EndRow (its read failed) is written afresh.
    void StartRow();
    void PutNull(std::size_t column) { PutSlot(column, CellValue::Tag::Null, 0); }
    void PutInteger(std::size_t column, std::int64_t value) {
        PutSlot(column, CellValue::Tag::Integer, std::uint64_t(value));
    }
    void PutReal(std::size_t column, double value) {
        std::uint64_t slot;
        std::memcpy(&slot, &value, sizeof slot);
        PutSlot(column, CellValue::Tag::Real, slot);
    }
    void PutUtf8Text(std::size_t column, std::string_view text) {
        PutSlot(column, CellValue::Tag::Utf8Text, Store(text.data(), text.size(), 1));
    }
    void Put(std::size_t column, const CellValue& value) {
        Set(newTags_[column], newSlots_[column], value);
    }
    void EndRow() {
        // A reader that sees the new count sees the row and its block.
        rowCount_.store(rowCount_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }

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
    void PutSlot(std::size_t column, CellValue::Tag tag, std::uint64_t slot) {
        newTags_[column] = tag;
        newSlots_[column] = slot;
    }
    // Copies `size` bytes into the chunks behind their length, the data at a multiple of
    // `align`, and returns where the length begins.
    std::uint64_t Store(const void* data, std::size_t size, std::size_t align,
                        const std::uint64_t* packedBefore = nullptr);
    void Set(CellValue::Tag& tag, std::uint64_t& slot, const CellValue& value);
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
    // Where StartRow put the row being appended.
    CellValue::Tag* newTags_ = nullptr;
    std::uint64_t* newSlots_ = nullptr;
    // Blocks are found through a fixed table of pages of block pointers, so that appending a
    // block never moves anything a reader is looking at. Only the entries of existing blocks
    // are set, and read, so that a short result pays nothing for the table's size.
    static constexpr std::size_t pageBlocks = 4096;
    static constexpr std::size_t pageCount = 4096;
    Block** pages_[pageCount];
    std::size_t blockCount_ = 0;
    std::atomic<std::size_t> bytesUsed_{0};
    // Text and bytes in chunks that are never moved.
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t chunkBytes_ = 0;
    char* chunkNext_ = nullptr; // the free part of the last chunk
    char* chunkEnd_ = nullptr;
};

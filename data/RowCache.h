#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/CellValue.h"

// The rows of a result fetched so far, kept compactly: per cell one tag byte and one 8-byte
// slot holding a number, a packed date or a reference into a shared text buffer. No cell owns
// a heap allocation of its own, and nothing moves once stored.
class RowCache {
public:
    explicit RowCache(std::size_t columnCount);
    ~RowCache();
    RowCache(const RowCache&) = delete;
    RowCache& operator=(const RowCache&) = delete;

    std::size_t ColumnCount() const { return columnCount_; }
    std::size_t RowCount() const { return rowCount_; }
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
    std::size_t BytesUsed() const;

private:
    struct Block;
    // Copies a value's text or bytes into the chunks, after `packedBefore` when given.
    const char16_t* Store(const void* data, std::uint32_t byteCount,
                          const std::uint64_t* packedBefore = nullptr);
    CellValue::Tag* Tags(std::size_t row);
    std::uint64_t* Slots(std::size_t row);
    void Write(std::size_t row, const std::vector<CellValue>& values);
    void CopyRow(std::size_t from, std::size_t to);

    std::size_t columnCount_;
    std::size_t rowCount_ = 0;
    std::vector<std::unique_ptr<Block>> blocks_;
    // Text and bytes, each value prefixed by its length, in chunks that are never moved.
    std::vector<std::unique_ptr<char16_t[]>> chunks_;
    std::size_t chunkBytes_ = 0;
    std::size_t chunkUsed_ = 0; // units used in the last chunk
    std::size_t chunkSize_ = 0; // units in the last chunk
};

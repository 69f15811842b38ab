#include "data/RowCache.h"

#include <cstring>

#include "base/Exception.h"

namespace {

// Rows per block: large enough that a block's bookkeeping is negligible, small enough that a
// short result does not hold much it never uses.
constexpr std::size_t blockRows = 256;
// Text chunk size in UTF-16 units; a longer value gets a chunk of its own.
constexpr std::size_t chunkUnits = 32 * 1024;
// Units the length prefix of a stored value takes.
constexpr std::size_t prefixUnits = 2;

std::uint64_t PackDateTime(const TDateTime& t) {
    return (std::uint64_t(std::uint16_t(t.year)) << 48) | (std::uint64_t(t.month & 0xFF) << 40) |
           (std::uint64_t(t.day & 0xFF) << 32) | (std::uint64_t(t.hour & 0xFF) << 24) |
           (std::uint64_t(t.minute & 0xFF) << 16) | (std::uint64_t(t.second & 0x3F) << 10) |
           std::uint64_t(t.millisecond & 0x3FF);
}

TDateTime UnpackDateTime(std::uint64_t v) {
    TDateTime t;
    t.year = std::int16_t(v >> 48);
    t.month = int((v >> 40) & 0xFF);
    t.day = int((v >> 32) & 0xFF);
    t.hour = int((v >> 24) & 0xFF);
    t.minute = int((v >> 16) & 0xFF);
    t.second = int((v >> 10) & 0x3F);
    t.millisecond = int(v & 0x3FF);
    return t;
}

std::uint32_t StoredLength(const char16_t* stored) {
    return std::uint32_t(stored[0]) | (std::uint32_t(stored[1]) << 16);
}

// A date-time that keeps the database's own spelling has its packed date at the start of the
// stored text instead of in its slot; its tag says so. Such values are rare, so the common
// date-time keeps its one slot.
constexpr auto kDateTimeWithText = CellValue::Tag(0x80 | int(CellValue::Tag::DateTime));
// Marks a value that is only shown (CellValue::displayOnly).
constexpr int kDisplayOnly = 0x40;
constexpr std::size_t packedUnits = sizeof(std::uint64_t) / sizeof(char16_t);

} // namespace

struct RowCache::Block {
    explicit Block(std::size_t columns)
        : tags(new CellValue::Tag[blockRows * columns]),
          slots(new std::uint64_t[blockRows * columns]) {}
    std::unique_ptr<CellValue::Tag[]> tags;
    std::unique_ptr<std::uint64_t[]> slots;
};

RowCache::RowCache(std::size_t columnCount) : columnCount_(columnCount) {
    CountBytes();
}

RowCache::~RowCache() = default;

const char16_t* RowCache::Store(const void* data, std::uint32_t byteCount,
                                const std::uint64_t* packedBefore) {
    std::size_t extra = packedBefore ? packedUnits : 0;
    std::size_t units = prefixUnits + extra + (std::size_t(byteCount) + 1) / 2;
    if (chunks_.empty() || chunkUsed_ + units > chunkSize_) {
        std::size_t size = units > chunkUnits / 4 ? units : chunkUnits;
        chunks_.emplace_back(new char16_t[size]);
        chunkBytes_ += size * sizeof(char16_t);
        chunkSize_ = size;
        chunkUsed_ = 0;
        CountBytes();
        // A value that needed a chunk of its own leaves the previous chunk's space unused, so
        // that the next small values start a fresh chunk rather than waste this one.
    }
    char16_t* stored = chunks_.back().get() + chunkUsed_;
    stored[0] = char16_t(byteCount & 0xFFFF);
    stored[1] = char16_t(byteCount >> 16);
    if (packedBefore)
        std::memcpy(stored + prefixUnits, packedBefore, sizeof *packedBefore);
    if (byteCount)
        std::memcpy(stored + prefixUnits + extra, data, byteCount);
    chunkUsed_ += units;
    return stored;
}

RowCache::Block& RowCache::BlockOf(std::size_t row) const {
    std::size_t block = row / blockRows;
    return *pages_[block / pageBlocks][block % pageBlocks];
}

void RowCache::AddBlock() {
    std::size_t page = blockCount_ / pageBlocks;
    if (page >= pages_.size())
        throw Exception(u"The result has more rows than can be kept");
    if (!pages_[page])
        pages_[page] = std::make_unique<std::unique_ptr<Block>[]>(pageBlocks);
    pages_[page][blockCount_ % pageBlocks] = std::make_unique<Block>(columnCount_);
    ++blockCount_;
    CountBytes();
}

void RowCache::PopBlock() {
    --blockCount_;
    pages_[blockCount_ / pageBlocks][blockCount_ % pageBlocks].reset();
    CountBytes();
}

void RowCache::CountBytes() {
    std::size_t perBlock = sizeof(Block) + blockRows * columnCount_ * (1 + sizeof(std::uint64_t));
    std::size_t pages = (blockCount_ + pageBlocks - 1) / pageBlocks;
    bytesUsed_.store(sizeof(pages_) + pages * pageBlocks * sizeof(pages_[0][0]) +
                         blockCount_ * perBlock + chunkBytes_ +
                         chunks_.capacity() * sizeof(chunks_[0]),
                     std::memory_order_relaxed);
}

CellValue::Tag* RowCache::Tags(std::size_t row) {
    return BlockOf(row).tags.get() + (row % blockRows) * columnCount_;
}

std::uint64_t* RowCache::Slots(std::size_t row) {
    return BlockOf(row).slots.get() + (row % blockRows) * columnCount_;
}

void RowCache::Write(std::size_t row, const std::vector<CellValue>& values) {
    CellValue::Tag* tags = Tags(row);
    std::uint64_t* slots = Slots(row);
    for (std::size_t column = 0; column < columnCount_; ++column) {
        const CellValue& value = values[column];
        std::uint64_t slot = 0;
        CellValue::Tag tag = value.tag;
        switch (value.tag) {
        case CellValue::Tag::Null:
            break;
        case CellValue::Tag::Integer:
            slot = std::uint64_t(value.integer);
            break;
        case CellValue::Tag::Real:
            std::memcpy(&slot, &value.real, sizeof slot);
            break;
        case CellValue::Tag::Text:
        case CellValue::Tag::Decimal: {
            auto* stored = Store(value.text.data(), std::uint32_t(value.text.size() * 2));
            slot = reinterpret_cast<std::uintptr_t>(stored);
            break;
        }
        case CellValue::Tag::Bytes: {
            auto* stored = Store(value.bytes.data(), std::uint32_t(value.bytes.size()));
            slot = reinterpret_cast<std::uintptr_t>(stored);
            break;
        }
        case CellValue::Tag::DateTime:
            slot = PackDateTime(value.dateTime);
            if (!value.text.empty()) {
                auto* stored =
                    Store(value.text.data(), std::uint32_t(value.text.size() * 2), &slot);
                slot = reinterpret_cast<std::uintptr_t>(stored);
                tag = kDateTimeWithText;
            }
            break;
        }
        tags[column] = value.displayOnly ? CellValue::Tag(int(tag) | kDisplayOnly) : tag;
        slots[column] = slot;
    }
}

void RowCache::CopyRow(std::size_t from, std::size_t to) {
    std::memcpy(Tags(to), Tags(from), columnCount_ * sizeof(CellValue::Tag));
    std::memcpy(Slots(to), Slots(from), columnCount_ * sizeof(std::uint64_t));
}

void RowCache::Append(const std::vector<CellValue>& row) {
    std::size_t rows = rowCount_.load(std::memory_order_relaxed);
    if (rows % blockRows == 0)
        AddBlock();
    Write(rows, row);
    // A reader that sees the new count sees the row and its block.
    rowCount_.store(rows + 1, std::memory_order_release);
}

void RowCache::Insert(std::size_t at, const std::vector<CellValue>& row) {
    std::size_t rows = rowCount_.load(std::memory_order_relaxed);
    if (rows % blockRows == 0)
        AddBlock();
    rowCount_.store(rows + 1, std::memory_order_release);
    for (std::size_t r = rows; r > at; --r)
        CopyRow(r - 1, r);
    Write(at, row);
}

void RowCache::Replace(std::size_t at, const std::vector<CellValue>& row) {
    Write(at, row);
}

void RowCache::Remove(std::size_t at) {
    std::size_t rows = rowCount_.load(std::memory_order_relaxed);
    for (std::size_t r = at; r + 1 < rows; ++r)
        CopyRow(r + 1, r);
    rowCount_.store(--rows, std::memory_order_release);
    if (rows % blockRows == 0)
        PopBlock();
}

CellValue RowCache::Cell(std::size_t row, std::size_t column) const {
    const Block& block = BlockOf(row);
    std::size_t index = (row % blockRows) * columnCount_ + column;
    std::uint64_t slot = block.slots[index];
    CellValue value;
    value.tag = block.tags[index];
    if (int(value.tag) & kDisplayOnly) {
        value.tag = CellValue::Tag(int(value.tag) & ~kDisplayOnly);
        value.displayOnly = true;
    }
    if (value.tag == kDateTimeWithText) {
        auto* stored = reinterpret_cast<const char16_t*>(std::uintptr_t(slot));
        std::uint64_t packed;
        std::memcpy(&packed, stored + prefixUnits, sizeof packed);
        value.tag = CellValue::Tag::DateTime;
        value.dateTime = UnpackDateTime(packed);
        value.text =
            std::u16string_view(stored + prefixUnits + packedUnits, StoredLength(stored) / 2);
        return value;
    }
    switch (value.tag) {
    case CellValue::Tag::Null:
        break;
    case CellValue::Tag::Integer:
        value.integer = std::int64_t(slot);
        break;
    case CellValue::Tag::Real:
        std::memcpy(&value.real, &slot, sizeof slot);
        break;
    case CellValue::Tag::Text:
    case CellValue::Tag::Decimal: {
        auto* stored = reinterpret_cast<const char16_t*>(std::uintptr_t(slot));
        value.text = std::u16string_view(stored + prefixUnits, StoredLength(stored) / 2);
        break;
    }
    case CellValue::Tag::Bytes: {
        auto* stored = reinterpret_cast<const char16_t*>(std::uintptr_t(slot));
        value.bytes = std::string_view(reinterpret_cast<const char*>(stored + prefixUnits),
                                       StoredLength(stored));
        break;
    }
    case CellValue::Tag::DateTime:
        value.dateTime = UnpackDateTime(slot);
        break;
    }
    return value;
}

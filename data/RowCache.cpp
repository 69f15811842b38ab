#include "data/RowCache.h"

#include <cstring>

#include "base/Exception.h"

namespace {

// Rows per block: large enough that a block's bookkeeping is negligible, small enough that a
// short result does not hold much it never uses.
constexpr std::size_t blockRows = 256;
// Chunk size in bytes; a longer value gets a chunk of its own.
constexpr std::size_t chunkSize = 64 * 1024;

// A stored value's length comes first: one byte below 0x80, two bytes below 0x4000, else a
// marker byte and four bytes.
constexpr std::size_t shortLength = 0x80;
constexpr std::size_t mediumLength = 0x4000;
constexpr unsigned char longMarker = 0xC0;

std::size_t LengthBytes(std::size_t size) {
    return size < shortLength ? 1 : size < mediumLength ? 2 : 5;
}

void PutLength(char* at, std::size_t size) {
    if (size < shortLength) {
        at[0] = char(size);
    } else if (size < mediumLength) {
        at[0] = char(0x80 | (size >> 8));
        at[1] = char(size & 0xFF);
    } else {
        auto length = std::uint32_t(size);
        at[0] = char(longMarker);
        std::memcpy(at + 1, &length, sizeof length);
    }
}

// What a slot that refers to stored data refers to.
std::string_view Stored(std::uint64_t slot) {
    const auto* at = reinterpret_cast<const unsigned char*>(std::uintptr_t(slot));
    if (at[0] < shortLength)
        return {reinterpret_cast<const char*>(at + 1), at[0]};
    if (at[0] < longMarker)
        return {reinterpret_cast<const char*>(at + 2), std::size_t((at[0] & 0x3F) << 8 | at[1])};
    std::uint32_t length;
    std::memcpy(&length, at + 1, sizeof length);
    return {reinterpret_cast<const char*>(at + 5), length};
}

std::u16string_view Utf16(std::string_view stored) {
    return {reinterpret_cast<const char16_t*>(stored.data()), stored.size() / 2};
}

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

// A date-time that keeps the database's own spelling has its packed date at the start of the
// stored text instead of in its slot; its tag says so. Such values are rare, so the common
// date-time keeps its one slot.
constexpr auto kDateTimeWithText = CellValue::Tag(0x80 | int(CellValue::Tag::DateTime));
// Marks a value that is only shown (CellValue::displayOnly).
constexpr int kDisplayOnly = 0x40;
// UTF-16 text is stored where a reader may take it as UTF-16 units.
constexpr std::size_t utf16Align = alignof(char16_t);

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

RowCache::~RowCache() {
    while (blockCount_ > 0)
        PopBlock();
}

std::uint64_t RowCache::Store(const void* data, std::size_t size, std::size_t align,
                              const std::uint64_t* packedBefore) {
    std::size_t extra = packedBefore ? sizeof *packedBefore : 0;
    std::size_t total = size + extra;
    std::size_t lengthBytes = LengthBytes(total);
    auto placed = [&](char* at) {
        // The data, after the length, starts at a multiple of `align`.
        std::size_t misfit = (std::uintptr_t(at) + lengthBytes) % align;
        return misfit ? at + align - misfit : at;
    };
    char* at = chunkNext_ ? placed(chunkNext_) : nullptr;
    if (!at || at > chunkEnd_ || std::size_t(chunkEnd_ - at) < lengthBytes + total) {
        std::size_t needed = lengthBytes + total + align;
        std::size_t bytes = needed > chunkSize / 4 ? needed : chunkSize;
        chunks_.emplace_back(new char[bytes]);
        chunkBytes_ += bytes;
        // A value that needed a chunk of its own leaves the previous chunk's space unused, so
        // that the next small values start a fresh chunk rather than waste this one.
        chunkNext_ = chunks_.back().get();
        chunkEnd_ = chunkNext_ + bytes;
        CountBytes();
        at = placed(chunkNext_);
    }
    PutLength(at, total);
    char* value = at + lengthBytes;
    if (packedBefore)
        std::memcpy(value, packedBefore, extra);
    if (size)
        std::memcpy(value + extra, data, size);
    chunkNext_ = value + total;
    return reinterpret_cast<std::uintptr_t>(at);
}

RowCache::Block& RowCache::BlockOf(std::size_t row) const {
    std::size_t block = row / blockRows;
    return *pages_[block / pageBlocks][block % pageBlocks];
}

void RowCache::AddBlock() {
    std::size_t page = blockCount_ / pageBlocks;
    if (page >= pageCount)
        throw Exception(u"The result has more rows than can be kept");
    auto block = std::make_unique<Block>(columnCount_);
    if (blockCount_ % pageBlocks == 0)
        pages_[page] = new Block*[pageBlocks];
    pages_[page][blockCount_ % pageBlocks] = block.release();
    ++blockCount_;
    CountBytes();
}

void RowCache::PopBlock() {
    --blockCount_;
    Block**& page = pages_[blockCount_ / pageBlocks];
    delete page[blockCount_ % pageBlocks];
    if (blockCount_ % pageBlocks == 0)
        delete[] page;
    CountBytes();
}

void RowCache::CountBytes() {
    std::size_t perBlock = sizeof(Block) + blockRows * columnCount_ * (1 + sizeof(std::uint64_t));
    std::size_t pages = (blockCount_ + pageBlocks - 1) / pageBlocks;
    bytesUsed_.store(sizeof(pages_) + pages * pageBlocks * sizeof(Block*) + blockCount_ * perBlock +
                         chunkBytes_ + chunks_.capacity() * sizeof(chunks_[0]),
                     std::memory_order_relaxed);
}

CellValue::Tag* RowCache::Tags(std::size_t row) {
    return BlockOf(row).tags.get() + (row % blockRows) * columnCount_;
}

std::uint64_t* RowCache::Slots(std::size_t row) {
    return BlockOf(row).slots.get() + (row % blockRows) * columnCount_;
}

void RowCache::Set(CellValue::Tag& tag, std::uint64_t& slot, const CellValue& value) {
    CellValue::Tag kind = value.tag;
    switch (value.tag) {
    case CellValue::Tag::Null:
        slot = 0;
        break;
    case CellValue::Tag::Integer:
        slot = std::uint64_t(value.integer);
        break;
    case CellValue::Tag::Real:
        std::memcpy(&slot, &value.real, sizeof slot);
        break;
    case CellValue::Tag::Text:
    case CellValue::Tag::Decimal:
        slot = Store(value.text.data(), value.text.size() * sizeof(char16_t), utf16Align);
        break;
    case CellValue::Tag::Utf8Text:
        slot = Store(value.utf8.data(), value.utf8.size(), 1);
        break;
    case CellValue::Tag::Bytes:
        slot = Store(value.bytes.data(), value.bytes.size(), 1);
        break;
    case CellValue::Tag::DateTime:
        slot = PackDateTime(value.dateTime);
        if (!value.text.empty()) {
            slot =
                Store(value.text.data(), value.text.size() * sizeof(char16_t), utf16Align, &slot);
            kind = kDateTimeWithText;
        }
        break;
    }
    tag = value.displayOnly ? CellValue::Tag(int(kind) | kDisplayOnly) : kind;
}

void RowCache::Write(std::size_t row, const std::vector<CellValue>& values) {
    CellValue::Tag* tags = Tags(row);
    std::uint64_t* slots = Slots(row);
    for (std::size_t column = 0; column < columnCount_; ++column)
        Set(tags[column], slots[column], values[column]);
}

void RowCache::CopyRow(std::size_t from, std::size_t to) {
    std::memcpy(Tags(to), Tags(from), columnCount_ * sizeof(CellValue::Tag));
    std::memcpy(Slots(to), Slots(from), columnCount_ * sizeof(std::uint64_t));
}

void RowCache::StartRow() {
    std::size_t rows = rowCount_.load(std::memory_order_relaxed);
    if (rows == blockCount_ * blockRows)
        AddBlock();
    newTags_ = Tags(rows);
    newSlots_ = Slots(rows);
}

void RowCache::Append(const std::vector<CellValue>& row) {
    StartRow();
    for (std::size_t column = 0; column < columnCount_; ++column)
        Put(column, row[column]);
    EndRow();
}

void RowCache::Insert(std::size_t at, const std::vector<CellValue>& row) {
    std::size_t rows = rowCount_.load(std::memory_order_relaxed);
    if (rows == blockCount_ * blockRows)
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
    while (blockCount_ > 0 && (blockCount_ - 1) * blockRows >= rows)
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
        std::string_view stored = Stored(slot);
        std::uint64_t packed;
        std::memcpy(&packed, stored.data(), sizeof packed);
        value.tag = CellValue::Tag::DateTime;
        value.dateTime = UnpackDateTime(packed);
        value.text = Utf16(stored.substr(sizeof packed));
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
    case CellValue::Tag::Decimal:
        value.text = Utf16(Stored(slot));
        break;
    case CellValue::Tag::Utf8Text:
        value.utf8 = Stored(slot);
        break;
    case CellValue::Tag::Bytes:
        value.bytes = Stored(slot);
        break;
    case CellValue::Tag::DateTime:
        value.dateTime = UnpackDateTime(slot);
        break;
    }
    return value;
}

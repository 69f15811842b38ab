#include "app/CopyText.h"

#include <algorithm>
#include <iterator>

namespace {

bool IsQuote(char16_t c) {
    return c == u'\'' || c == u'"';
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Room past the limit for the closing NUL, with some to spare.
constexpr std::size_t bufferSlack = 500;

} // namespace

std::u16string StripQuotes(std::u16string_view text) {
    std::u16string out(text);
    std::erase_if(out, IsQuote);
    return out;
}

CopyText::CopyText(std::size_t limit) : limit_(limit), buffer_(new char16_t[limit + bufferSlack]) {
    buffer_[0] = u'\0';
    scratch_.reserve(200);
    stripped_.reserve(200);
}

bool CopyText::Build(CopyRows& rows) {
    // Often enough for a window to stay alive, seldom enough to cost nothing.
    constexpr int breathRows = 256;
    length_ = 0;
    full_ = false;
    rowsSinceBreath_ = 0;
    rows.First();
    while (!rows.Eof()) {
        int count = rows.FieldCount();
        for (int i = 0; i < count && !full_; ++i) {
            if (i > 0)
                Append(u"\t");
            Append(Cleaned(rows.FieldText(i, scratch_)));
        }
        Append(u"\r\n");
        // Only a complete row is tested, so the cursor stays on the row that reached the limit.
        if (full_)
            break;
        if (++rowsSinceBreath_ == breathRows) {
            rowsSinceBreath_ = 0;
            rows.Breathe();
        }
        rows.Next();
    }
    buffer_[length_] = u'\0';
    return full_;
}

// Quotes go first, so that blanks they enclosed are trimmed too; the trimmed text is then
// taken up to its first NUL. Most values have no quote and need only one look at each unit.
std::u16string_view CopyText::Cleaned(std::u16string_view value) {
    std::size_t begin = 0;
    std::size_t end = value.size();
    while (begin < end && value[begin] <= u' ')
        ++begin;
    while (end > begin && value[end - 1] <= u' ')
        --end;
    std::size_t nul = end;
    for (std::size_t i = begin; i < end; ++i) {
        char16_t c = value[i];
        if (c > u'\'')
            continue;
        if (IsQuote(c)) {
            stripped_.clear();
            std::copy_if(value.begin(), value.end(), std::back_inserter(stripped_),
                         [](char16_t c) { return !IsQuote(c); });
            return Cleaned(stripped_);
        }
        if (c == u'\0' && nul == end)
            nul = i;
    }
    return value.substr(begin, nul - begin);
}

void CopyText::Append(std::u16string_view piece) {
    if (full_)
        return;
    std::size_t room = limit_ - length_;
    if (piece.size() >= room) {
        full_ = true;
        // Never leave half of a surrogate pair at the end.
        if (piece.size() > room && room > 0 && IsHighSurrogate(piece[room - 1]) &&
            IsLowSurrogate(piece[room]))
            --room;
        piece = piece.substr(0, room);
    }
    std::copy(piece.begin(), piece.end(), buffer_.get() + length_);
    length_ += piece.size();
}

void CopyToClipboard(CopyRows& rows, Platform& platform, std::size_t limit, LongWork& work) {
    CopyText text(limit);

    struct Restore {
        CopyRows& rows;
        Platform& platform;
        bool suspended = false;
        ~Restore() {
            if (suspended) {
                // Only while an error is on its way out: one of the resume's own would hide it.
                try {
                    rows.ResumeDisplay();
                } catch (...) {
                }
            }
            platform.SetBusyCursor(false);
        }
    } restore{rows, platform};

    platform.SetBusyCursor(true);
    rows.SuspendDisplay();
    restore.suspended = true;
    bool cut = text.Build(rows);
    work.Run([&] { platform.PutOnClipboard(text.Text()); }, [] {});
    restore.suspended = false;
    rows.ResumeDisplay();
    if (cut)
        platform.ShowNotice(CopyCutNotice);
}

#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "data/LongWork.h"

#include "platform/Platform.h"

class TADOQuery;

// The most characters (UTF-16 units) the copied text of a result may have.
inline constexpr std::size_t CopyTextLimit = 4096000;

// Shown when the text reached the limit: the table is too large, only part of the rows is
// transferred.
inline constexpr char16_t CopyCutNotice[] = u"טבלה גדולה מידי מעביר רק חלק מהשורות";

// The text without its apostrophes and double quotes; everything else stays.
std::u16string StripQuotes(std::u16string_view text);

// The rows a copy walks: a result with a cursor, its fields in their current order.
class CopyRows {
public:
    virtual ~CopyRows() = default;
    // While suspended, whatever shows the rows does not follow the cursor; the resume makes
    // it catch up.
    virtual void SuspendDisplay() = 0;
    virtual void ResumeDisplay() = 0;
    virtual void First() = 0;
    virtual bool Eof() = 0;
    virtual void Next() = 0;
    virtual int FieldCount() = 0;
    // The current row's value of field `index` as text, valid until the cursor moves: the
    // rows' own text, or text composed in `scratch`, which may be overwritten.
    virtual std::u16string_view FieldText(int index, std::u16string& scratch) = 0;
    // Called between rows now and then: a long walk lets the program handle what it must
    // meanwhile, and ends (raising) when the user stops it.
    virtual void Breathe() {}
};

// An open query's rows, read from the database only as the cursor reaches them.
class QueryCopyRows final : public CopyRows {
public:
    explicit QueryCopyRows(TADOQuery& query) : query_(query) {}
    void SuspendDisplay() override;
    void ResumeDisplay() override;
    void First() override;
    bool Eof() override;
    void Next() override;
    int FieldCount() override;
    std::u16string_view FieldText(int index, std::u16string& scratch) override;
    void Breathe() override;

private:
    TADOQuery& query_;
};

// The tab-separated text of a result, built in one buffer allocated up front. Per row, each
// field's text loses its quotes (StripQuotes), then the characters up to U+0020 at both ends,
// and is taken up to its first NUL; fields are separated by TAB and every row ends with CR LF.
// Nothing is escaped. The text never passes `limit`: the piece that reaches it is cut, though
// never between the halves of a surrogate pair, and the walk stops at the end of that row.
class CopyText {
public:
    explicit CopyText(std::size_t limit = CopyTextLimit);

    // Walks `rows` from the first row until their end, or until the text has reached the limit,
    // leaving the cursor on the row being copied then. Returns whether the limit was reached,
    // which includes a complete text of exactly `limit` characters. The field count is read
    // again for every row.
    bool Build(CopyRows& rows);

    std::u16string_view Text() const { return {buffer_.get(), length_}; }

private:
    void Append(std::u16string_view piece);
    std::u16string_view Cleaned(std::u16string_view value);

    std::size_t limit_;
    std::unique_ptr<char16_t[]> buffer_;
    std::size_t length_ = 0;
    bool full_ = false;
    int rowsSinceBreath_ = 0;
    // One field's text at a time where the rows compose it, and a value without its quotes;
    // either grows only for a longer value.
    std::u16string scratch_;
    std::u16string stripped_;
};

// The Copy button: the whole result as text on the clipboard, from the first row, with the
// hour-glass cursor and the display suspended while it walks; a notice when the text reached
// `limit`. Catches nothing: an error leaves the clipboard as it was and shows no notice. However
// it ends, the display is resumed once and the cursor goes back to the default.
// The clipboard is given the text as long work (`work`), since a large text takes the system a
// while to take.
void CopyToClipboard(CopyRows& rows, Platform& platform, std::size_t limit = CopyTextLimit,
                     LongWork& work = InlineWork());

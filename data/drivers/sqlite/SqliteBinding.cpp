#include "data/drivers/sqlite/SqliteBinding.h"

#include <string>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/IsoDateTime.h"
#include "data/drivers/sqlite/SqliteStatement.h"
#include "data/drivers/sqlite/SqliteTypes.h"

void BindSqlite(sqlite3* db, sqlite3_stmt* stmt, const std::vector<BoundValue>& values) {
    int markers = sqlite3_bind_parameter_count(stmt);
    if (markers != int(values.size()))
        throw Exception(u"The statement has " + IntToStr(markers) + u" parameter markers but " +
                        IntToStr(static_cast<long long>(values.size())) + u" values were given");
    // A null pointer would bind NULL, not empty text or bytes.
    static const char16_t kNoText[] = u"";
    static const char kNoBytes[] = "";
    for (int i = 0; i < markers; ++i) {
        const BoundValue& bound = values[std::size_t(i)];
        const CellValue& value = bound.value;
        std::u16string dateText;
        std::u16string_view text = value.text;
        int rc = SQLITE_OK;
        switch (value.tag) {
        case CellValue::Tag::Null:
            rc = sqlite3_bind_null(stmt, i + 1);
            break;
        case CellValue::Tag::Integer:
            rc = sqlite3_bind_int64(stmt, i + 1, value.integer);
            break;
        case CellValue::Tag::Real:
            rc = sqlite3_bind_double(stmt, i + 1, value.real);
            break;
        case CellValue::Tag::Bytes:
            rc = sqlite3_bind_blob64(stmt, i + 1,
                                     value.bytes.empty() ? kNoBytes : value.bytes.data(),
                                     value.bytes.size(), SQLITE_TRANSIENT);
            break;
        case CellValue::Tag::Utf8Text:
            rc = sqlite3_bind_text64(stmt, i + 1, value.utf8.empty() ? kNoBytes : value.utf8.data(),
                                     value.utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        case CellValue::Tag::DateTime:
            // The spelling the value was read in finds it again; a rendering might not.
            if (value.text.empty()) {
                dateText = IsoDateTimeText(value.dateTime,
                                           SqliteDateTimeParts(bound.type, value.dateTime));
                text = dateText;
            }
            [[fallthrough]];
        case CellValue::Tag::Text:
        case CellValue::Tag::Decimal:
            rc = sqlite3_bind_text64(
                stmt, i + 1, reinterpret_cast<const char*>(text.empty() ? kNoText : text.data()),
                text.size() * sizeof(char16_t), SQLITE_TRANSIENT, SQLITE_UTF16);
            break;
        }
        if (rc != SQLITE_OK)
            RaiseSqliteError(db);
    }
}

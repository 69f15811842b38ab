#include "data/drivers/sqlite/SqliteTypes.h"

#include <string>

namespace {

std::string Upper(const char* text) {
    std::string upper = text ? text : "";
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return upper;
}

// The numbers in "VARCHAR(30)" or "DECIMAL(10, 2)"; zero when not given.
void DeclaredSize(const std::string& declared, int& first, int& second) {
    first = second = 0;
    auto open = declared.find('(');
    if (open == std::string::npos)
        return;
    int* target = &first;
    for (auto pos = open + 1; pos < declared.size() && declared[pos] != ')'; ++pos) {
        char c = declared[pos];
        if (c >= '0' && c <= '9')
            *target = *target * 10 + (c - '0');
        else if (c == ',')
            target = &second;
    }
}

} // namespace

void ClassifySqliteType(const char* declaredType, ColumnInfo& column) {
    if (!declaredType) {
        column.type = TFieldType::Variant; // an expression
        return;
    }
    std::string declared = Upper(declaredType);
    auto has = [&](const char* word) { return declared.find(word) != std::string::npos; };
    int first = 0, second = 0;
    DeclaredSize(declared, first, second);
    if (has("BIGINT") || has("INT8"))
        column.type = TFieldType::Largeint;
    else if (has("SMALLINT") || has("TINYINT") || has("INT2"))
        column.type = TFieldType::Smallint;
    else if (has("INT"))
        column.type = TFieldType::Integer;
    else if (has("BOOL"))
        column.type = TFieldType::Boolean;
    else if (has("DATETIME") || has("TIMESTAMP"))
        column.type = TFieldType::DateTime;
    else if (has("DATE"))
        column.type = TFieldType::Date;
    else if (has("TIME"))
        column.type = TFieldType::Time;
    else if (has("GUID") || has("UNIQUEIDENTIFIER"))
        column.type = TFieldType::Guid;
    else if (has("CHAR") || has("CLOB") || has("TEXT"))
        column.type = TFieldType::WideString, column.size = first; // 0: no declared size
    else if (has("BLOB") || has("BINARY"))
        column.type = TFieldType::Blob;
    else if (has("REAL") || has("FLOA") || has("DOUB"))
        column.type = TFieldType::Float;
    else if (has("DEC") || has("NUMERIC") || has("MONEY"))
        column.type = TFieldType::Decimal, column.precision = first, column.scale = second;
    else
        column.type = TFieldType::Variant;
}

bool IsDateKind(TFieldType type) {
    return type == TFieldType::Date || type == TFieldType::Time || type == TFieldType::DateTime;
}

IsoParts SqliteDateTimeParts(TFieldType type, const TDateTime& t) {
    return type == TFieldType::Date       ? IsoParts::Date
           : type == TFieldType::Time     ? IsoParts::Time
           : type == TFieldType::DateTime ? IsoParts::DateAndTime
           : t.year == 0                  ? IsoParts::Time
           : t.IsMidnight()               ? IsoParts::Date
                                          : IsoParts::DateAndTime;
}

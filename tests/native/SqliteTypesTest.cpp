#include <gtest/gtest.h>

#include "data/drivers/sqlite/SqliteTypes.h"

namespace {

// The engine's own affinity words decide, in its order: "POINT" holds "INT".
TEST(SqliteTypes, TheKindIsReadFromTheDeclaredType) {
    using F = TFieldType;
    struct Case {
        const char* declared; // null: an expression
        TFieldType type;
        int size, precision, scale;
    } cases[] = {
        {nullptr, F::Variant, 0, 0, 0},
        {"", F::Variant, 0, 0, 0},
        {"INTEGER", F::Integer, 0, 0, 0},
        {"bigint", F::Largeint, 0, 0, 0},
        {"INT8", F::Largeint, 0, 0, 0},
        {"TINYINT", F::Smallint, 0, 0, 0},
        {"POINT", F::Integer, 0, 0, 0},
        {"BOOLEAN", F::Boolean, 0, 0, 0},
        {"DATETIME", F::DateTime, 0, 0, 0},
        {"TIMESTAMP", F::DateTime, 0, 0, 0},
        {"DATE", F::Date, 0, 0, 0},
        {"TIME", F::Time, 0, 0, 0},
        {"UNIQUEIDENTIFIER", F::Guid, 0, 0, 0},
        {"VARCHAR(30)", F::WideString, 30, 0, 0},
        {"TEXT", F::WideString, 0, 0, 0},
        {"BLOB", F::Blob, 0, 0, 0},
        {"VARBINARY(16)", F::Blob, 0, 0, 0},
        {"DOUBLE PRECISION", F::Float, 0, 0, 0},
        {"DECIMAL(10, 2)", F::Decimal, 0, 10, 2},
        {"numeric(7)", F::Decimal, 0, 7, 0},
        {"MONEY", F::Decimal, 0, 0, 0},
        {"JSON", F::Variant, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ColumnInfo column;
        ClassifySqliteType(c.declared, column);
        SCOPED_TRACE(c.declared ? c.declared : "(expression)");
        EXPECT_EQ(column.type, c.type);
        EXPECT_EQ(column.size, c.size);
        EXPECT_EQ(column.precision, c.precision);
        EXPECT_EQ(column.scale, c.scale);
    }
}

} // namespace

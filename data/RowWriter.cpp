#include "data/RowWriter.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/OwnedValue.h"

namespace {

std::u16string Quote(std::u16string_view name, const SqlDialect& dialect) {
    return Enclosed(name, dialect.quoteOpen, dialect.quoteClose);
}

BoundValue Bound(const ColumnInfo& column, const CellValue& value) {
    BoundValue bound;
    bound.type = column.type;
    bound.size = column.size;
    bound.precision = column.precision;
    bound.scale = column.scale;
    bound.value = value;
    return bound;
}

// "k1 = ? AND k2 IS NULL": the key, and the original values of the columns in `matched`.
void AppendMatch(std::u16string& sql, std::vector<BoundValue>& values, const WritePlan& plan,
                 const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& original,
                 const std::vector<std::size_t>& matched) {
    sql += u" WHERE ";
    bool first = true;
    for (std::size_t column : matched) {
        if (!first)
            sql += u" AND ";
        first = false;
        const CellValue& value = original[column];
        sql += plan.targets[column];
        if (value.tag == CellValue::Tag::Null) {
            sql += u" IS NULL";
        } else if (value.tag == CellValue::Tag::DateTime && value.text.empty() &&
                   columns[column].type != TFieldType::Date) {
            // Read to the millisecond, a value stored finer lies within the millisecond read.
            values.push_back(Bound(columns[column], value));
            CellValue next = value;
            if (NextMillisecond(next.dateTime)) {
                sql += u" >= ? AND " + plan.targets[column] + u" < ?";
                values.push_back(Bound(columns[column], next));
            } else {
                sql += u" >= ?";
            }
        } else {
            sql += u" = ?";
            values.push_back(Bound(columns[column], value));
        }
    }
}

std::vector<std::size_t> KeyAnd(const WritePlan& plan, const std::vector<bool>& changed) {
    std::vector<std::size_t> matched = plan.key;
    for (std::size_t column = 0; column < changed.size(); ++column)
        if (changed[column] && std::find(matched.begin(), matched.end(), column) == matched.end())
            matched.push_back(column);
    return matched;
}

const char16_t* const rowGone = u"The row was changed or deleted by someone else since it was "
                                u"read; nothing was written.";
const char16_t* const nothingStored = u"The database did not store the new row.";

void CheckOneRow(long long affected, const char16_t* whenNone = rowGone) {
    if (affected == 1)
        return;
    if (affected == 0)
        throw Exception(whenNone);
    if (affected < 0)
        throw Exception(u"The database did not report how many rows the change affected; "
                        u"nothing was written.");
    throw Exception(u"The change would have affected " + IntToStr(affected) +
                    u" rows instead of one; nothing was written.");
}

// Runs `write` between BEGIN and COMMIT; whatever goes wrong is rolled back, and the first
// failure is the one reported.
template <typename Write> void InOwnTransaction(DriverConnection& driver, Write write) {
    driver.BeginTransaction();
    try {
        write();
        driver.Commit();
    } catch (...) {
        try {
            driver.Rollback();
        } catch (const Exception&) {
            // The write's own failure says more than the rollback's.
        }
        throw;
    }
}

} // namespace

namespace {

const ColumnInfo* SourceTable(const std::vector<ColumnInfo>& columns) {
    const ColumnInfo* source = nullptr;
    for (const auto& column : columns) {
        if (column.baseTable.empty())
            continue;
        if (!source)
            source = &column;
        else if (column.baseTable != source->baseTable || column.baseSchema != source->baseSchema)
            return nullptr; // a join: a line of it is no single row of a table
    }
    return source;
}

} // namespace

bool IsWritableKind(TFieldType type) {
    return type != TFieldType::Memo && type != TFieldType::Blob && type != TFieldType::Bytes &&
           type != TFieldType::VarBytes;
}

bool ComesFromOneTable(const std::vector<ColumnInfo>& columns) {
    return SourceTable(columns) != nullptr;
}

WritePlan PlanWrites(const std::vector<ColumnInfo>& columns, DriverConnection& driver) {
    WritePlan plan;
    const ColumnInfo* source = SourceTable(columns);
    if (!source)
        return plan;

    auto find = [&](std::u16string_view name) -> std::ptrdiff_t {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (!columns[i].rowId && !columns[i].baseTable.empty() &&
                SameText(columns[i].baseColumn, name))
                return std::ptrdiff_t(i);
        return -1;
    };
    for (const auto& key : driver.UniqueKeys(source->baseSchema, source->baseTable)) {
        std::vector<std::size_t> found;
        for (const auto& name : key) {
            std::ptrdiff_t at = find(name);
            if (at < 0)
                break;
            found.push_back(std::size_t(at));
        }
        if (!key.empty() && found.size() == key.size()) {
            plan.key = std::move(found);
            break;
        }
    }
    if (plan.key.empty()) {
        auto rowId = std::find_if(columns.begin(), columns.end(),
                                  [](const ColumnInfo& column) { return column.rowId; });
        if (rowId == columns.end())
            return plan;
        plan.key.push_back(std::size_t(rowId - columns.begin()));
    }

    SqlDialect dialect = driver.Dialect();
    plan.table =
        source->baseSchema.empty() ? std::u16string() : Quote(source->baseSchema, dialect) + u".";
    plan.table += Quote(source->baseTable, dialect);
    plan.targets.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ColumnInfo& column = columns[i];
        bool keyColumn = std::find(plan.key.begin(), plan.key.end(), i) != plan.key.end();
        if (!column.baseTable.empty() && !column.baseColumn.empty() &&
            (keyColumn || (!column.readOnly && IsWritableKind(column.type))))
            plan.targets[i] = Quote(column.baseColumn, dialect);
    }
    plan.updatable = true;
    return plan;
}

void UpdateRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& original,
               const std::vector<CellValue>& values, const std::vector<bool>& changed) {
    std::u16string sql = u"UPDATE " + plan.table + u" SET ";
    std::vector<BoundValue> bound;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (!changed[column] || plan.targets[column].empty())
            continue;
        if (!bound.empty())
            sql += u", ";
        sql += plan.targets[column] + u" = ?";
        bound.push_back(Bound(columns[column], values[column]));
    }
    if (bound.empty())
        return; // nothing that can be written was changed
    AppendMatch(sql, bound, plan, columns, original, KeyAnd(plan, changed));
    InOwnTransaction(driver, [&] { CheckOneRow(driver.ExecuteBound(sql, bound)); });
}

void InsertRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& values,
               const std::vector<bool>& changed,
               const std::function<void(const std::vector<CellValue>&)>& stored) {
    SqlDialect dialect = driver.Dialect();
    std::u16string names, markers, returned;
    std::vector<BoundValue> bound;
    std::vector<std::size_t> returnedColumns;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const ColumnInfo& info = columns[column];
        if (info.baseTable.empty() || info.baseColumn.empty())
            continue;
        std::u16string target = Quote(info.baseColumn, dialect);
        returned += (returned.empty() ? u"" : u", ");
        if (dialect.insertReturning == SqlDialect::InsertReturning::Output)
            returned += u"INSERTED.";
        returned += target;
        returnedColumns.push_back(column);
        if (!changed[column] || plan.targets[column].empty() || info.rowId)
            continue;
        names += (names.empty() ? u"" : u", ") + target;
        markers += (markers.empty() ? u"?" : u", ?");
        bound.push_back(Bound(info, values[column]));
    }
    std::u16string sql = u"INSERT INTO " + plan.table;
    std::u16string valuesClause =
        bound.empty() ? u" DEFAULT VALUES" : u" (" + names + u") VALUES (" + markers + u")";
    switch (dialect.insertReturning) {
    case SqlDialect::InsertReturning::Returning:
        sql += valuesClause + u" RETURNING " + returned;
        break;
    case SqlDialect::InsertReturning::Output:
        sql += bound.empty()
                   ? u" OUTPUT " + returned + valuesClause
                   : u" (" + names + u") OUTPUT " + returned + u" VALUES (" + markers + u")";
        break;
    case SqlDialect::InsertReturning::None:
        sql += valuesClause;
        break;
    }

    if (dialect.insertReturning == SqlDialect::InsertReturning::None) {
        InOwnTransaction(driver,
                         [&] { CheckOneRow(driver.ExecuteBound(sql, bound), nothingStored); });
        return;
    }
    std::vector<OwnedValue> row;
    InOwnTransaction(driver, [&] {
        auto result = driver.OpenBound(sql, bound);
        std::vector<CellValue> fetched;
        long long count = 0;
        while (result && result->Fetch(fetched)) {
            if (++count == 1)
                for (const CellValue& value : fetched)
                    row.emplace_back(value);
        }
        result.reset(); // a statement still open would keep the transaction from ending
        CheckOneRow(count, nothingStored);
    });
    std::vector<CellValue> storedRow(columns.size());
    for (std::size_t i = 0; i < returnedColumns.size() && i < row.size(); ++i)
        storedRow[returnedColumns[i]] = row[i].Get();
    stored(storedRow);
}

void DeleteRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& original) {
    std::u16string sql = u"DELETE FROM " + plan.table;
    std::vector<BoundValue> bound;
    AppendMatch(sql, bound, plan, columns, original, plan.key);
    InOwnTransaction(driver, [&] { CheckOneRow(driver.ExecuteBound(sql, bound)); });
}

#include "data/RowWriter.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/OwnedValue.h"

namespace {

BoundValue Bound(const ColumnInfo& column, const CellValue& value) {
    BoundValue bound;
    bound.type = column.type;
    bound.size = column.size;
    bound.precision = column.precision;
    bound.scale = column.scale;
    bound.value = value;
    return bound;
}

// "k1 = ? AND k2 IS NULL": the values of `row` in the columns `matched`.
void AppendMatch(std::u16string& sql, std::vector<BoundValue>& values, const WritePlan& plan,
                 const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& row,
                 const std::vector<std::size_t>& matched) {
    sql += u" WHERE ";
    bool first = true;
    for (std::size_t column : matched) {
        const CellValue& value = row[column];
        if (value.displayOnly)
            throw Exception(u"The row cannot be changed: its value in '" + columns[column].name +
                            u"' is shown as the database's text and cannot be matched exactly; "
                            u"nothing was written.");
        if (!first)
            sql += u" AND ";
        first = false;
        const std::u16string& name = plan.names[column];
        sql += name;
        // Every value is bound as it was read, a date-time stored finer than the millisecond
        // with its own spelling, so that equality finds the row and no neighbour of it.
        if (value.tag == CellValue::Tag::Null) {
            sql += u" IS NULL";
        } else {
            sql += u" = ?";
            values.push_back(Bound(columns[column], value));
        }
    }
}

void AddOnce(std::vector<std::size_t>& columns, std::size_t column) {
    if (std::find(columns.begin(), columns.end(), column) == columns.end())
        columns.push_back(column);
}

// The columns an UPDATE or DELETE matches the original row by: its key, and the columns it
// changes or, where the key may be given again to another row, every column of the table.
std::vector<std::size_t> Matched(const WritePlan& plan, const std::vector<bool>* changed) {
    std::vector<std::size_t> matched = plan.key;
    for (std::size_t column = 0; column < plan.names.size(); ++column)
        if (!plan.names[column].empty() &&
            (plan.matchEveryColumn || (changed && (*changed)[column])))
            AddOnce(matched, column);
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

// "RETURNING k1, k2" after an UPDATE's WHERE or an INSERT's values, "OUTPUT INSERTED.k1, ..."
// before them; empty when the database hands back nothing.
std::u16string ReturningKey(const WritePlan& plan, const SqlDialect& dialect) {
    std::u16string list;
    for (std::size_t column : plan.key) {
        list += list.empty() ? u"" : u", ";
        if (dialect.insertReturning == SqlDialect::InsertReturning::Output)
            list += u"INSERTED.";
        list += plan.names[column];
    }
    switch (dialect.insertReturning) {
    case SqlDialect::InsertReturning::Returning:
        return u" RETURNING " + list;
    case SqlDialect::InsertReturning::Output:
        return u" OUTPUT " + list;
    case SqlDialect::InsertReturning::None:
        break;
    }
    return {};
}

// Runs a statement that returns rows, puts the first row's values into `row` at the result
// columns `into` (one for each value), and returns how many rows there were. The statement
// is done with when this returns: one still open would keep the transaction from ending.
long long FirstRowInto(DriverConnection& driver, std::u16string_view sql,
                       const std::vector<BoundValue>& bound, const std::vector<std::size_t>& into,
                       std::vector<OwnedValue>& row) {
    auto result = driver.OpenBound(sql, bound);
    std::vector<CellValue> fetched;
    long long count = 0;
    while (result && result->Fetch(fetched))
        if (++count == 1)
            for (std::size_t i = 0; i < into.size() && i < fetched.size(); ++i)
                row[into[i]].Set(fetched[i]);
    return count;
}

// Runs a write that hands back the key of the one row it wrote, which `key` receives, one value
// per result column, in the key's columns.
void RunReturningKey(DriverConnection& driver, const WritePlan& plan, std::u16string_view sql,
                     const std::vector<BoundValue>& bound, std::vector<OwnedValue>& key,
                     const char16_t* whenNone) {
    CheckOneRow(FirstRowInto(driver, sql, bound, plan.key, key), whenNone);
}

// The row whose key is `key` (one value per result column, set in the key's columns) as the
// database now holds it, one value per result column (NULL where the table gives none); empty
// when the key does not find exactly one row.
std::vector<OwnedValue> ReadBack(DriverConnection& driver, const WritePlan& plan,
                                 const std::vector<ColumnInfo>& columns,
                                 const std::vector<OwnedValue>& key) {
    std::u16string list;
    std::vector<std::size_t> read;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (plan.names[column].empty())
            continue;
        list += (list.empty() ? u"" : u", ") + plan.names[column];
        read.push_back(column);
    }
    std::u16string sql = u"SELECT " + list + u" FROM " + plan.table;
    std::vector<CellValue> keyValues(columns.size());
    for (std::size_t column : plan.key)
        keyValues[column] = key[column].Get();
    std::vector<BoundValue> bound;
    AppendMatch(sql, bound, plan, columns, keyValues, plan.key);
    std::vector<OwnedValue> row(columns.size());
    if (FirstRowInto(driver, sql, bound, read, row) != 1)
        row.clear();
    return row;
}

// Hands `stored` the row read back, with the written value in every column the table does not
// give (an expression of the result); nothing when it was not read back.
void HandBack(const std::vector<OwnedValue>& row, const WritePlan& plan,
              const std::vector<CellValue>& written,
              const std::function<void(const std::vector<CellValue>&)>& stored) {
    if (row.empty())
        return;
    std::vector<CellValue> storedRow = written;
    for (std::size_t column = 0; column < row.size(); ++column)
        if (!plan.names[column].empty())
            storedRow[column] = row[column].Get();
    stored(storedRow);
}

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
    SqlDialect dialect = driver.Dialect();

    auto isTableColumn = [&](std::size_t i) {
        return !columns[i].rowId && !columns[i].baseTable.empty() && !columns[i].baseColumn.empty();
    };
    // The first of the result's copies of each table column; the others are only shown, so
    // that two edits of one value cannot both seem to be kept.
    std::vector<bool> firstCopy(columns.size(), false);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        firstCopy[i] = columns[i].rowId || isTableColumn(i);
        for (std::size_t earlier = 0; earlier < i && firstCopy[i]; ++earlier)
            if (firstCopy[earlier] && columns[earlier].rowId == columns[i].rowId &&
                dialect.SameName(columns[earlier].baseColumn, columns[i].baseColumn))
                firstCopy[i] = false;
    }
    // A key column is the table's column of that name as the database compares names, never a
    // column whose name merely looks the same: PostgreSQL keeps "ID" and id apart.
    auto find = [&](std::u16string_view name) -> std::ptrdiff_t {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (firstCopy[i] && !columns[i].rowId && dialect.SameName(columns[i].baseColumn, name))
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
        plan.matchEveryColumn = true;
    }

    plan.table =
        source->baseSchema.empty() ? std::u16string() : dialect.Quoted(source->baseSchema) + u".";
    plan.table += dialect.Quoted(source->baseTable);
    plan.names.resize(columns.size());
    plan.targets.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ColumnInfo& column = columns[i];
        if (!column.rowId && !isTableColumn(i))
            continue;
        plan.names[i] = dialect.Quoted(column.baseColumn);
        bool keyColumn = std::find(plan.key.begin(), plan.key.end(), i) != plan.key.end();
        if (firstCopy[i] && (keyColumn || (!column.readOnly && IsWritableKind(column.type))))
            plan.targets[i] = plan.names[i];
    }
    plan.updatable = true;
    return plan;
}

void UpdateRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& original,
               const std::vector<CellValue>& values, const std::vector<bool>& changed,
               const std::function<void(const std::vector<CellValue>&)>& stored) {
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
    SqlDialect dialect = driver.Dialect();
    std::u16string returning = ReturningKey(plan, dialect);
    if (dialect.insertReturning == SqlDialect::InsertReturning::Output)
        sql += returning;
    AppendMatch(sql, bound, plan, columns, original, Matched(plan, &changed));
    if (dialect.insertReturning == SqlDialect::InsertReturning::Returning)
        sql += returning;

    std::vector<OwnedValue> row;
    InOwnTransaction(driver, [&] {
        std::vector<OwnedValue> key(columns.size());
        if (returning.empty()) {
            CheckOneRow(driver.ExecuteBound(sql, bound));
            for (std::size_t column : plan.key)
                key[column].Set(values[column]); // as written, the best there is
        } else {
            RunReturningKey(driver, plan, sql, bound, key, rowGone);
        }
        row = ReadBack(driver, plan, columns, key);
    });
    HandBack(row, plan, values, stored);
}

void InsertRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& values,
               const std::vector<bool>& changed,
               const std::function<void(const std::vector<CellValue>&)>& stored) {
    SqlDialect dialect = driver.Dialect();
    std::u16string names, markers;
    std::vector<BoundValue> bound;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (!changed[column] || plan.targets[column].empty() || columns[column].rowId)
            continue;
        names += (names.empty() ? u"" : u", ") + plan.targets[column];
        markers += (markers.empty() ? u"?" : u", ?");
        bound.push_back(Bound(columns[column], values[column]));
    }
    std::u16string returning = ReturningKey(plan, dialect);
    std::u16string sql = u"INSERT INTO " + plan.table;
    if (bound.empty())
        sql += dialect.insertReturning == SqlDialect::InsertReturning::Output
                   ? returning + u" DEFAULT VALUES"
                   : u" DEFAULT VALUES" + returning;
    else if (dialect.insertReturning == SqlDialect::InsertReturning::Output)
        sql += u" (" + names + u")" + returning + u" VALUES (" + markers + u")";
    else
        sql += u" (" + names + u") VALUES (" + markers + u")" + returning;

    if (returning.empty()) {
        InOwnTransaction(driver,
                         [&] { CheckOneRow(driver.ExecuteBound(sql, bound), nothingStored); });
        return;
    }
    std::vector<OwnedValue> row;
    InOwnTransaction(driver, [&] {
        std::vector<OwnedValue> key(columns.size());
        RunReturningKey(driver, plan, sql, bound, key, nothingStored);
        row = ReadBack(driver, plan, columns, key);
    });
    HandBack(row, plan, values, stored);
}

void DeleteRow(DriverConnection& driver, const WritePlan& plan,
               const std::vector<ColumnInfo>& columns, const std::vector<CellValue>& original) {
    std::u16string sql = u"DELETE FROM " + plan.table;
    std::vector<BoundValue> bound;
    AppendMatch(sql, bound, plan, columns, original, Matched(plan, nullptr));
    InOwnTransaction(driver, [&] { CheckOneRow(driver.ExecuteBound(sql, bound)); });
}

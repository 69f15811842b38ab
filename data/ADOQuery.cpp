#include "data/ADOQuery.h"

#include <algorithm>
#include <limits>

#include "base/Exception.h"
#include "base/Text.h"
#include "data/ADOConnection.h"
#include "data/FieldInput.h"
#include "data/FieldText.h"
#include "data/StatementText.h"

int TField::Index() const {
    const auto& order = query_.order_;
    return int(std::find(order.begin(), order.end(), this) - order.begin());
}

CellValue TField::Value() const {
    query_.CheckActive();
    if (query_.eof_ && query_.FetchedCount() == 0)
        return CellValue::Null();
    return query_.CellAt(query_.current_, column_);
}

std::u16string TField::AsString() const {
    return FieldValueText(info_.type, Value(), query_.formats_);
}

std::u16string_view TField::AsStringView(std::u16string& scratch) const {
    return FieldValueTextView(info_.type, Value(), query_.formats_, scratch);
}

bool TField::CanModify() const {
    TADOQuery& query = query_;
    // A value the driver could only show as the database's text cannot be matched again.
    return query.CanModify() && !info_.readOnly && IsWritableKind(info_.type) &&
           !query.plan_.targets[column_].empty() && !Value().displayOnly;
}

void TField::SetValue(const CellValue& value) {
    if (!CanModify())
        throw Exception(u"Field '" + name_ + u"' cannot be modified");
    if (query_.state_ == TDataSetState::Browse)
        query_.Edit();
    query_.pending_[column_].Set(value);
    query_.changed_[column_] = true;
    query_.Notify(TDataEvent::DataSetChanged);
}

void TField::SetText(std::u16string_view text) {
    // The text is read against what the row held before this edit, kept apart from the cache.
    OwnedValue original;
    if (query_.active_ && query_.FetchedCount() > 0)
        original.Set(query_.cache_->Cell(query_.current_, column_));
    std::u16string storage;
    SetValue(ParseFieldText(info_, name_, text, original.Get(), query_.formats_, storage));
}

TADOQuery::TADOQuery(const Platform& platform) : formats_(platform) {}

TADOQuery::~TADOQuery() {
    // A data source that outlives its query shows none.
    if (dataSource_)
        dataSource_->SetDataSet(nullptr);
    SetConnection(nullptr);
}

void TADOQuery::EndReadingNow() noexcept {
    if (!reader_)
        return;
    // Nobody waits for the rows any more: the row being read is not waited for either.
    if (connection_ && connection_->Connected())
        connection_->Direct().Cancel();
    reader_.reset();
}

void TADOQuery::SetConnection(TADOConnection* connection) {
    EndReadingNow();
    if (connection_)
        std::erase(connection_->queries_, this);
    connection_ = connection;
    if (connection_)
        connection_->queries_.push_back(this);
}

void TADOQuery::SetSQL(const std::vector<std::u16string>& lines) {
    Close();
    std::u16string text = JoinLines(lines);
    if (text.empty()) {
        commandText_.clear();
        parameterNames_.clear();
        return;
    }
    StatementText scanned = ScanParameters(text);
    commandText_ = std::move(scanned.text);
    parameterNames_ = std::move(scanned.parameterNames);
}

void TADOQuery::CheckStatement() const {
    if (commandText_.empty())
        throw Exception(u"ADOQuery: Missing SQL property");
    if (!connection_)
        throw Exception(u"ADOQuery: Missing Connection or ConnectionString");
}

void TADOQuery::CheckActive() const {
    if (!active_)
        throw Exception(u"ADOQuery: Cannot perform this operation on a closed dataset");
}

void TADOQuery::Open() {
    if (active_)
        return;
    CheckStatement();
    DriverConnection& driver = connection_->Direct();
    std::unique_ptr<DriverResult> result;
    connection_->Work().Run([&] { result = driver.OpenResult(commandText_); },
                            [&] { driver.Cancel(); });
    if (!result)
        throw Exception(u"ADOQuery: CommandText does not return a result set");
    try {
        result_ = std::move(result);
        columns_ = result_->Columns();
        BuildFields(columns_);
        cache_ = std::make_unique<RowCache>(result_->Columns().size());
        active_ = true;
        ++resultNumber_;
        rowsAnnounced_ = 0;
        // Only the first row is read now: the rest come as a reader moves to them, or in the
        // background. Statements typed after this one run only once its rows are all read, and
        // they must run now, before anything else uses the connection, with their errors this
        // Open's.
        FetchUpTo(result_->MoreStatementsFollow() ? std::numeric_limits<std::size_t>::max() : 1);
    } catch (...) {
        active_ = false;
        result_.reset();
        cache_.reset();
        fields_.clear();
        order_.clear();
        throw;
    }
    current_ = 0;
    bof_ = true;
    eof_ = cache_->RowCount() == 0;
    state_ = TDataSetState::Browse;
    writable_ = Writable::Unknown;
    plan_ = {};
    if (result_ && connection_->ReadAheadBytes() > 0) {
        reader_ = std::make_unique<ResultReader>(std::move(result_), *cache_,
                                                 connection_->ReadAheadNews());
        reader_->ReadInBackground(connection_->ReadAheadBytes());
    }
    Notify(TDataEvent::ActiveChanged);
}

std::int32_t TADOQuery::ExecSQL() {
    CheckStatement();
    // Rows affected travel as a signed 32-bit count, as the database's interface reports them.
    return static_cast<std::int32_t>(connection_->Driver().Execute(commandText_));
}

void TADOQuery::Close() {
    if (!active_)
        return;
    Cancel();
    StopReading();
    active_ = false;
    result_.reset();
    cache_.reset();
    fields_.clear();
    order_.clear();
    columns_.clear();
    plan_ = {};
    writable_ = Writable::Unknown;
    fetchedAll_ = false;
    readFailure_.reset();
    current_ = 0;
    eof_ = bof_ = true;
    Notify(TDataEvent::ActiveChanged);
}

void TADOQuery::BuildFields(const std::vector<ColumnInfo>& columns) {
    fields_.clear();
    order_.clear();
    fetchedAll_ = false;
    readFailure_.reset();
    auto taken = [&](std::u16string_view name) {
        return std::any_of(fields_.begin(), fields_.end(),
                           [&](const auto& field) { return SameText(field->name_, name); });
    };
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].rowId)
            continue; // kept to find the row again, never shown
        std::u16string base = columns[i].name.empty() ? u"COLUMN" : columns[i].name + u"_";
        std::u16string name = columns[i].name;
        for (long long number = 1; name.empty() || taken(name); ++number)
            name = base + IntToStr(number);
        fields_.push_back(std::unique_ptr<TField>(new TField(*this, columns[i], name, i)));
        order_.push_back(fields_.back().get());
    }
}

bool TADOQuery::FetchUpTo(std::size_t count) {
    if (!active_)
        return false;
    if (cache_->RowCount() >= count || fetchedAll_)
        return cache_->RowCount() >= count;
    // The rows after a failed read are not known, so a result cut short must never pass for a
    // whole one: whatever needs them raises the same error again.
    if (readFailure_)
        throw *readFailure_;
    if (reader_)
        return WaitForReader(count);

    // Read here, as one piece of work; the state it leaves is taken over once it has ended, so
    // that nothing the window looks at meanwhile changes under it.
    DriverConnection& driver = connection_->Direct();
    bool ended = false;
    std::unique_ptr<Exception> failure;
    connection_->Work().Run(
        [&] {
            try {
                std::size_t wanted = count - cache_->RowCount();
                ended = result_->FetchInto(*cache_, wanted) < wanted;
            } catch (const Exception& e) {
                failure = std::make_unique<Exception>(e);
            }
        },
        [&] { driver.Cancel(); });
    if (ended || failure) {
        // The statement has nothing more to give, or can give nothing more: its resources can
        // go now.
        fetchedAll_ = ended;
        readFailure_ = std::move(failure);
        result_.reset();
    }
    if (readFailure_)
        throw *readFailure_;
    return cache_->RowCount() >= count;
}

bool TADOQuery::WaitForReader(std::size_t count) {
    // A little more than asked for, so that walking the rows past what the background reads
    // does not wait for them one at a time.
    constexpr std::size_t readAhead = 1024;
    reader_->ReadTo(
        count > std::numeric_limits<std::size_t>::max() - readAhead ? count : count + readAhead);
    bool abandoned = false;
    if (cache_->RowCount() < count) {
        std::uint64_t begun = reader_->BeginWait();
        connection_->Work().Run([&] { reader_->WaitFor(count, begun); },
                                [&] {
                                    abandoned = true;
                                    reader_->Abandon();
                                });
    }
    TakeReaderState();
    if (cache_->RowCount() >= count)
        return true;
    if (readFailure_)
        throw *readFailure_;
    if (abandoned && !fetchedAll_)
        throw EAbort(u"Reading the rows was cancelled; those read so far are kept");
    return false;
}

void TADOQuery::TakeReaderState() {
    if (!reader_)
        return;
    fetchedAll_ = reader_->Ended();
    if (!readFailure_)
        if (auto failure = reader_->Failure())
            readFailure_ = std::make_unique<Exception>(*failure);
}

void TADOQuery::RowsArrived() {
    if (!active_ || !reader_)
        return;
    bool allBefore = fetchedAll_;
    bool failedBefore = readFailure_ != nullptr;
    TakeReaderState();
    std::size_t rows = cache_->RowCount();
    if (rows == rowsAnnounced_ && fetchedAll_ == allBefore &&
        (readFailure_ != nullptr) == failedBefore)
        return;
    rowsAnnounced_ = rows;
    Notify(TDataEvent::DataSetChanged);
}

void TADOQuery::StopReading() {
    if (!reader_)
        return;
    // The reader stops after the row it is reading; where that row is long in coming, the user
    // may cancel the statement.
    DriverConnection* driver =
        connection_ && connection_->Connected() ? &connection_->Direct() : nullptr;
    connection_->Work().Run([&] { reader_->Stop(); },
                            [&] {
                                if (driver)
                                    driver->Cancel();
                            });
    TakeReaderState();
    reader_.reset();
}

std::size_t TADOQuery::RecordCount() {
    CheckActive();
    FetchUpTo(std::numeric_limits<std::size_t>::max());
    return cache_->RowCount();
}

void TADOQuery::DetachFromConnection() {
    if (active_ && (result_ || reader_)) {
        try {
            FetchUpTo(std::numeric_limits<std::size_t>::max());
        } catch (const EAbort&) {
            // The user stopped the reading: the connection is not to close after all.
            throw;
        } catch (...) {
            // A failed read ends the reading; the rows read stay, failed as they were.
            EndReadingNow();
            result_.reset();
            writable_ = Writable::No;
            throw;
        }
        StopReading();
        result_.reset();
    }
    // Rows kept past their connection cannot be written back: a later connection may reach
    // another database.
    writable_ = Writable::No;
}

void TADOQuery::First() {
    CheckActive();
    CheckBrowseMode();
    current_ = 0;
    bof_ = true;
    eof_ = cache_->RowCount() == 0;
    Notify(TDataEvent::Scrolled);
}

void TADOQuery::Next() {
    CheckActive();
    CheckBrowseMode();
    if (FetchUpTo(current_ + 2)) {
        ++current_;
        bof_ = false;
    } else {
        eof_ = true;
    }
    Notify(TDataEvent::Scrolled);
}

void TADOQuery::Prior() {
    CheckActive();
    CheckBrowseMode();
    if (current_ > 0) {
        --current_;
        eof_ = false;
    } else {
        bof_ = true;
    }
    Notify(TDataEvent::Scrolled);
}

void TADOQuery::Last() {
    CheckActive();
    CheckBrowseMode();
    RecordCount();
    MoveTo(cache_->RowCount() == 0 ? 0 : cache_->RowCount() - 1);
}

void TADOQuery::MoveTo(std::size_t index) {
    CheckActive();
    CheckBrowseMode();
    if (index != std::numeric_limits<std::size_t>::max())
        FetchUpTo(index + 1);
    std::size_t rows = cache_->RowCount();
    current_ = rows == 0 ? 0 : std::min(index, rows - 1);
    bof_ = current_ == 0;
    eof_ = rows == 0;
    Notify(TDataEvent::Scrolled);
}

TField& TADOQuery::Fields(int index) const {
    CheckActive();
    if (index < 0 || index >= FieldCount())
        throw Exception(u"List index out of bounds (" + IntToStr(index) + u")");
    return *order_[index];
}

void TADOQuery::MoveField(int from, int to) {
    if (from < 0 || to < 0 || from >= FieldCount() || to >= FieldCount() || from == to)
        return;
    TField* field = order_[from];
    order_.erase(order_.begin() + from);
    order_.insert(order_.begin() + to, field);
}

CellValue TADOQuery::CellAt(std::size_t row, std::size_t column) const {
    if (state_ != TDataSetState::Browse && row == current_ && changed_[column])
        return pending_[column].Get();
    return cache_->Cell(row, column);
}

bool TADOQuery::CanModify() {
    if (!active_)
        return false;
    if (writable_ == Writable::Unknown) {
        // A connection closed since the open is not opened again behind the user's back.
        if (!connection_ || !connection_->Connected() || !ComesFromOneTable(columns_)) {
            writable_ = Writable::No;
            return false;
        }
        // A result still being read keeps some databases from running anything else on the
        // connection, and a transaction's end would close it on others. A read that fails
        // leaves the question open, to fail again the next time it is asked.
        FetchUpTo(std::numeric_limits<std::size_t>::max());
        writable_ = Writable::No;
        plan_ = PlanWrites(columns_, connection_->Driver());
        writable_ = plan_.updatable ? Writable::Yes : Writable::No;
    }
    return writable_ == Writable::Yes;
}

void TADOQuery::CheckModify() {
    CheckActive();
    if (!CanModify())
        throw Exception(u"ADOQuery: Cannot modify a read-only dataset");
}

bool TADOQuery::Modified() const {
    return state_ != TDataSetState::Browse &&
           std::find(changed_.begin(), changed_.end(), true) != changed_.end();
}

void TADOQuery::StartPending(TDataSetState state) {
    pending_.assign(columns_.size(), OwnedValue());
    changed_.assign(columns_.size(), false);
    state_ = state;
}

std::vector<CellValue> TADOQuery::CachedRow() const {
    std::vector<CellValue> row(columns_.size());
    for (std::size_t column = 0; column < row.size(); ++column)
        row[column] = cache_->Cell(current_, column);
    return row;
}

void TADOQuery::Edit() {
    CheckActive();
    if (state_ != TDataSetState::Browse)
        return;
    CheckModify();
    if (cache_->RowCount() == 0) {
        Insert();
        return;
    }
    StartPending(TDataSetState::Edit);
    Notify(TDataEvent::DataSetChanged);
}

void TADOQuery::Insert() {
    AddRow(false);
}

void TADOQuery::Append() {
    AddRow(true);
}

void TADOQuery::AddRow(bool atEnd) {
    CheckActive();
    CheckBrowseMode();
    CheckModify();
    if (atEnd)
        RecordCount();
    std::size_t at = atEnd || cache_->RowCount() == 0 ? cache_->RowCount() : current_;
    cache_->Insert(at, std::vector<CellValue>(columns_.size()));
    current_ = at;
    bof_ = eof_ = false;
    StartPending(TDataSetState::Insert);
    Notify(TDataEvent::DataSetChanged);
}

void TADOQuery::UpdateRecord() {
    // Text still in a control's editor belongs to the row, even while display is suspended.
    if (dataSource_ && state_ != TDataSetState::Browse)
        dataSource_->Notify(TDataEvent::UpdateRecord);
}

void TADOQuery::Post() {
    CheckActive();
    if (state_ == TDataSetState::Browse)
        return;
    UpdateRecord();
    std::vector<CellValue> original = CachedRow();
    std::vector<CellValue> values = original;
    for (std::size_t column = 0; column < values.size(); ++column)
        if (changed_[column])
            values[column] = pending_[column].Get();
    DriverConnection& driver = connection_->Driver();
    // The row shows what the database stored, where it hands that back.
    bool stored = false;
    auto keep = [&](const std::vector<CellValue>& row) {
        cache_->Replace(current_, row);
        stored = true;
    };
    if (state_ == TDataSetState::Edit) {
        if (Modified())
            UpdateRow(driver, plan_, columns_, original, values, changed_, keep);
    } else {
        InsertRow(driver, plan_, columns_, values, changed_, keep);
    }
    if (!stored)
        cache_->Replace(current_, values);
    state_ = TDataSetState::Browse;
    pending_.clear();
    changed_.clear();
    Notify(TDataEvent::DataSetChanged);
}

void TADOQuery::RemoveCurrentRow() {
    cache_->Remove(current_);
    std::size_t rows = cache_->RowCount();
    current_ = rows == 0 ? 0 : std::min(current_, rows - 1);
    eof_ = rows == 0;
    bof_ = current_ == 0;
}

void TADOQuery::Cancel() {
    if (!active_ || state_ == TDataSetState::Browse)
        return;
    if (state_ == TDataSetState::Insert)
        RemoveCurrentRow();
    state_ = TDataSetState::Browse;
    pending_.clear();
    changed_.clear();
    Notify(TDataEvent::DataSetChanged);
}

void TADOQuery::CheckBrowseMode() {
    if (state_ == TDataSetState::Browse)
        return;
    UpdateRecord();
    if (Modified())
        Post();
    else
        Cancel();
}

void TADOQuery::Delete() {
    CheckActive();
    if (state_ == TDataSetState::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (cache_->RowCount() == 0)
        throw Exception(u"ADOQuery: Cannot perform this operation on an empty dataset");
    CheckModify();
    DeleteRow(connection_->Driver(), plan_, columns_, CachedRow());
    RemoveCurrentRow();
    Notify(TDataEvent::DataSetChanged);
}

void TADOQuery::EnableControls() {
    if (disableCount_ > 0 && --disableCount_ == 0)
        Notify(TDataEvent::DataSetChanged);
}

void TADOQuery::Notify(TDataEvent event) {
    if (dataSource_ && disableCount_ == 0)
        dataSource_->Notify(event);
}

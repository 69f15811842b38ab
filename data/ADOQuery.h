#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "data/DataSource.h"
#include "data/FieldText.h"
#include "data/OwnedValue.h"
#include "data/ResultReader.h"
#include "data/RowCache.h"
#include "data/RowWriter.h"
#include "data/drivers/Driver.h"

class TADOConnection;
class TADOQuery;
class TDataSource;

// What the query is doing with its current row.
enum class TDataSetState { Inactive, Browse, Edit, Insert };

// One column of an open query, and its value in the query's current row.
class TField {
public:
    // Unique within the query without regard to case ("COLUMN1", "ID_1").
    const std::u16string& FieldName() const { return name_; }
    TFieldType DataType() const { return info_.type; }
    int Size() const { return info_.size; }
    int Precision() const { return info_.precision; }
    bool ReadOnly() const { return info_.readOnly; }
    const ColumnInfo& Info() const { return info_; }
    // Position in the query's current field order.
    int Index() const;
    // The value's column in the row cache, for TADOQuery::CellAt; moving fields keeps it.
    std::size_t CacheColumn() const { return column_; }

    bool IsNull() const { return Value().tag == CellValue::Tag::Null; }
    CellValue Value() const;
    // The current row's value as text, by the query's formats.
    std::u16string AsString() const;
    // AsString() without a string of its own: a view of the cached text, or of the text
    // composed in `scratch`. It stays valid while the query keeps its rows and `scratch` is
    // left alone.
    std::u16string_view AsStringView(std::u16string& scratch) const;

    // Whether values can be put into the field: the result can be changed, the database lets
    // the column be written, and it is not long 8-bit text or bytes.
    bool CanModify() const;
    // Puts a value into the current row, starting an edit of it when browsing. Nothing reaches
    // the database before the row is posted.
    void SetValue(const CellValue& value);
    // The value that typed text gives the field, read by the query's formats; text the field's
    // kind cannot take is refused with a message and changes nothing.
    void SetText(std::u16string_view text);

private:
    friend class TADOQuery;
    TField(TADOQuery& query, ColumnInfo info, std::u16string name, std::size_t column)
        : query_(query), info_(std::move(info)), name_(std::move(name)), column_(column) {}
    TADOQuery& query_;
    ColumnInfo info_;
    std::u16string name_;
    std::size_t column_; // the value's column in the row cache, whatever the field order
};

// A statement and, while open, its result: rows fetched from the driver only as a reader
// moves to them, and kept in a compact cache so that it can go back.
class TADOQuery {
public:
    // Values show, and typed text is read, by the user's formats as `platform` has them; it
    // must outlive the query.
    explicit TADOQuery(const Platform& platform);
    ~TADOQuery();
    TADOQuery(const TADOQuery&) = delete;
    TADOQuery& operator=(const TADOQuery&) = delete;

    void SetConnection(TADOConnection* connection);
    TADOConnection* Connection() const { return connection_; }
    const ValueFormats& Formats() const { return formats_; }

    // Closes the query (dropping an unposted row edit), then takes the lines, each followed
    // by CR LF, with ":name" markers turned into unset parameters.
    void SetSQL(const std::vector<std::u16string>& lines);
    const std::u16string& CommandText() const { return commandText_; }
    const std::vector<std::u16string>& ParameterNames() const { return parameterNames_; }

    // Opens the connection when closed, runs the statement and keeps its first result that
    // has columns. Raises "ADOQuery: CommandText does not return a result set" when none
    // has; the statement has still run. On failure the query stays closed.
    void Open();
    // Runs the statement and returns the rows affected as the database reports them.
    std::int32_t ExecSQL();
    // Nothing when closed.
    void Close();
    bool Active() const { return active_; }
    // Counts the results opened, so that a view can tell its result from a newer one.
    std::uint64_t ResultNumber() const { return resultNumber_; }

    // Cursor. Moves raise "ADOQuery: Cannot perform this operation on a closed dataset" when
    // closed; every move first posts a changed pending row.
    void First();
    void Next();
    void Prior();
    void Last();
    // Makes row `index` (0-based) current, or the last row when there are fewer.
    void MoveTo(std::size_t index);
    // True once Next has passed the last row, and at once for an empty result.
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    std::size_t RecNo() const { return current_; }

    // Rows read from the database so far, and whether that is all of them.
    std::size_t FetchedCount() const { return cache_ ? cache_->RowCount() : 0; }
    bool AllFetched() const { return fetchedAll_; }
    // Reads rows until `count` are cached or none are left; returns whether `count` are. A
    // read that fails raises, and raises the same error each time the missing rows are asked
    // for. Where the connection reads ahead, this waits for the background reader, and a wait
    // the user cancels raises EAbort with the rows read so far kept.
    bool FetchUpTo(std::size_t count);
    // The background reader has news (rows came in, or it stopped): takes it in and tells the
    // data source when anything changed. Called by whoever hears the connection's news.
    void RowsArrived();
    // Whether rows are being read in the background now.
    bool ReadingAhead() const { return reader_ && reader_->Running(); }
    // The number of rows, reading all of them first.
    std::size_t RecordCount();
    // Bytes the row cache holds.
    std::size_t CacheBytes() const { return cache_ ? cache_->BytesUsed() : 0; }

    int FieldCount() const { return static_cast<int>(order_.size()); }
    // By 0-based index in the current field order.
    TField& Fields(int index) const;
    // Moves a field to another place in the field order.
    void MoveField(int from, int to);
    // A value of any cached row, by cache column.
    CellValue CellAt(std::size_t row, std::size_t column) const;

    // Suspends and resumes telling the data source of changes; calls nest.
    void DisableControls() { ++disableCount_; }
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // Editing. A result can be changed when its table columns all come from one table and
    // it carries a key of that table; finding that out reads the rest of the result first, so
    // that the connection is free for the writes.
    bool CanModify();
    TDataSetState State() const { return active_ ? state_ : TDataSetState::Inactive; }
    // Whether a value was put into the pending row.
    bool Modified() const;
    // Starts editing the current row (inserting, when there is none).
    void Edit();
    // A new empty row before the current one, or after the last one.
    void Insert();
    void Append();
    // Writes the pending row to the database at once; a refused write leaves it pending, with
    // its values.
    void Post();
    // Drops the pending row's values; a new row goes again.
    void Cancel();
    // Deletes the current row from the database and the result.
    void Delete();
    // Before the cursor moves: posts a changed pending row, drops an unchanged one.
    void CheckBrowseMode();
    // Cache columns, the row identity a driver may add (which is no field) included.
    std::size_t CacheColumnCount() const { return columns_.size(); }

private:
    friend class TADOConnection;
    friend class TDataSource;
    friend class TField;
    // Set by the data source that takes the query.
    void SetDataSource(TDataSource* source) { dataSource_ = source; }
    void CheckActive() const;
    void CheckStatement() const;
    void Notify(TDataEvent event);
    void BuildFields(const std::vector<ColumnInfo>& columns);
    void CheckModify();
    void StartPending(TDataSetState state);
    // A new empty row before the current one, or after the last.
    void AddRow(bool atEnd);
    std::vector<CellValue> CachedRow() const;
    void RemoveCurrentRow();
    void UpdateRecord();
    // Keeps the cached rows and lets go of the driver's result, reading its remaining rows
    // first so that the result stays whole once the connection is gone.
    void DetachFromConnection();
    bool WaitForReader(std::size_t count);
    void TakeReaderState();
    // Ends the background reading, if any, waiting for the row being read.
    void StopReading();
    // Ends it at once, cancelling the statement if a row is being read.
    void EndReadingNow() noexcept;

    ValueFormats formats_;
    TADOConnection* connection_ = nullptr;
    TDataSource* dataSource_ = nullptr;
    std::u16string commandText_;
    std::vector<std::u16string> parameterNames_;

    // The driver's result while it is read here; a background reader takes it over once the
    // first rows are in, where the connection reads ahead.
    std::unique_ptr<DriverResult> result_;
    std::unique_ptr<ResultReader> reader_;
    std::size_t rowsAnnounced_ = 0;
    std::unique_ptr<RowCache> cache_;
    std::vector<ColumnInfo> columns_;
    enum class Writable { Unknown, Yes, No };
    Writable writable_ = Writable::Unknown;
    WritePlan plan_;
    TDataSetState state_ = TDataSetState::Browse;
    // The pending row's values put in so far, by cache column.
    std::vector<OwnedValue> pending_;
    std::vector<bool> changed_;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<TField*> order_;
    bool active_ = false;
    std::uint64_t resultNumber_ = 0;
    bool fetchedAll_ = false;
    // Why reading the result stopped short, once it has.
    std::unique_ptr<Exception> readFailure_;
    std::size_t current_ = 0;
    bool eof_ = true;
    bool bof_ = true;
    int disableCount_ = 0;
};

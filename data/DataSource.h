#pragma once

#include <functional>
#include <vector>

class TADOQuery;
class TDataSource;

// What changed in a query, as a data-aware control hears of it.
enum class TDataEvent {
    ActiveChanged,  // opened or closed: columns and rows are new
    Scrolled,       // the current row moved
    DataSetChanged, // anything may have changed: catch up with everything
    UpdateRecord,   // the pending row is about to be written: put pending input into the fields
};

// A control's tie to a data source: while linked, it hears every data event of the source's
// query. Either may go first: a link leaves its source when it goes, and a source that goes
// first unlinks its links.
class TDataLink {
public:
    explicit TDataLink(std::function<void(TDataEvent)> onDataChange = {})
        : OnDataChange(std::move(onDataChange)) {}
    ~TDataLink() { SetDataSource(nullptr); }
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    // Leaves the present source and links to `source`, or to none.
    void SetDataSource(TDataSource* source);
    // The source's query; none while unlinked.
    TADOQuery* DataSet() const;

    std::function<void(TDataEvent)> OnDataChange;

private:
    friend class TDataSource;
    TDataSource* source_ = nullptr;
};

// Links a query to the controls that show it. The query tells its data source of every change
// unless display is suspended (UpdateRecord even then); on the last resume it sends one
// DataSetChanged. The source passes each event on to every link. Either the source or its
// query may go first.
class TDataSource {
public:
    TDataSource() = default;
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TADOQuery* DataSet() const { return dataSet_; }
    void SetDataSet(TADOQuery* query);

private:
    friend class TADOQuery;
    friend class TDataLink;
    void Notify(TDataEvent event);
    TADOQuery* dataSet_ = nullptr;
    std::vector<TDataLink*> links_;
};

#pragma once

#include <functional>

class TADOQuery;

// What changed in a query, as a data-aware control hears of it.
enum class TDataEvent {
    ActiveChanged,  // opened or closed: columns and rows are new
    Scrolled,       // the current row moved
    DataSetChanged, // anything may have changed: catch up with everything
    UpdateRecord,   // the pending row is about to be written: put pending input into the fields
};

// Links a query to the controls that show it. The query tells its data source of every change
// unless display is suspended (UpdateRecord even then); on the last resume it sends one
// DataSetChanged.
class TDataSource {
public:
    TADOQuery* DataSet() const { return dataSet_; }
    void SetDataSet(TADOQuery* query);

    std::function<void(TDataEvent)> OnDataChange;

private:
    friend class TADOQuery;
    void Notify(TDataEvent event) {
        if (OnDataChange)
            OnDataChange(event);
    }
    TADOQuery* dataSet_ = nullptr;
};

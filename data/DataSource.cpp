#include "data/DataSource.h"

#include <algorithm>

#include "data/ADOQuery.h"

void TDataLink::SetDataSource(TDataSource* source) {
    if (source_)
        std::erase(source_->links_, this);
    source_ = source;
    if (source_)
        source_->links_.push_back(this);
}

TADOQuery* TDataLink::DataSet() const {
    return source_ ? source_->DataSet() : nullptr;
}

TDataSource::~TDataSource() {
    for (TDataLink* link : links_)
        link->source_ = nullptr;
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TADOQuery* query) {
    if (query == dataSet_)
        return;
    if (dataSet_)
        dataSet_->SetDataSource(nullptr);
    // A query reports to one data source.
    if (query && query->dataSource_)
        query->dataSource_->SetDataSet(nullptr);
    dataSet_ = query;
    if (query)
        query->SetDataSource(this);
}

void TDataSource::Notify(TDataEvent event) {
    // A handler may link or unlink controls: each event goes to the links present before it
    // and still present when their turn comes.
    std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->OnDataChange)
            link->OnDataChange(event);
}

#include "data/DataSource.h"

#include "data/ADOQuery.h"

void TDataSource::SetDataSet(TADOQuery* query) {
    if (dataSet_)
        dataSet_->SetDataSource(nullptr);
    dataSet_ = query;
    if (query)
        query->SetDataSource(this);
}

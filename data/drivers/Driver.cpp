#include "data/drivers/Driver.h"

#include "data/RowCache.h"

std::size_t DriverResult::FetchInto(RowCache& cache, std::size_t count) {
    std::vector<CellValue> row;
    std::size_t read = 0;
    while (read < count && Fetch(row)) {
        cache.Append(row);
        ++read;
    }
    return read;
}

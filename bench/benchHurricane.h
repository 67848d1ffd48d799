// The default 500 x 500 x 48 hurricane field, generated once per benchmark program and shared
// by its benchmarks, which only read it (non-const for the tables' float2** interface), so
// that none of them pays for the generation again.
#pragma once

#include "data/dataManipulate.h"
#include "datasetWriter.h"

inline DataManipulate& benchHurricane()
{
    static DataManipulate data = []
    {
        DataManipulate loaded("", "", "", "", false);
        DatasetWriter::fillHurricane(loaded);
        return loaded;
    }();
    return data;
}

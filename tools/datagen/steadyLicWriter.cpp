#include "datasetWriter.h"

#include "lic/LIC.h"
#include "syntheticFlow.h"

#include <cstdio>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

// The same samples the steady vector file holds, so the image matches the loaded field.
bool DatasetWriter::writeEarthquakeLic(const fs::path& image)
{
    constexpr int size = 100;
    const SyntheticFlow flow = SyntheticFlow::earthquake();
    std::vector<float2> field;
    field.reserve(std::size_t(size) * size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i)
            field.push_back(flow.velocity(i, j));

    std::error_code error;
    fs::create_directories(image.parent_path(), error);
    fs::remove(image, error);
    LIC lic(int3{size, size, 1});
    lic.GenLICImage(size, size, field.data(), image.c_str());
    // The writer only prints its failures; reading the file back shows it succeeded.
    Image written;
    const bool ok = lic.imgProc->readPPM(image.c_str(), &written) == 1 && written.sizeX == size &&
                    written.sizeY == size;
    if (!ok)
        std::fprintf(stderr, "quorvel-datagen: cannot write %s\n", image.c_str());
    return ok;
}

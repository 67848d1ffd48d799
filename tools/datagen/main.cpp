// quorvel-datagen FOLDER: writes the default data sets under FOLDER, always the same bytes.
#include "datasetWriter.h"
#include "studyMaterial.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char* argv[])
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: quorvel-datagen FOLDER\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::filesystem::path stdy = root / "flow data" / "stdy flow data";
    std::error_code error;
    std::filesystem::create_directories(root / "exam_result", error);
    if (error)
    {
        std::fprintf(stderr, "quorvel-datagen: cannot create %s\n", root.c_str());
        return 1;
    }
    const bool ok =
        DatasetWriter::writeHurricaneSlices(root / "data" / "hurricane_z_8.dat") &&
        DatasetWriter::writeEarthquakeSteady(stdy / "earthquake_100") &&
        DatasetWriter::writeEarthquakeLic(stdy / "earthquake_100.ppm") &&
        DatasetWriter::writeHurricaneUnsteady(root / "flow data" / "unstdy flow data") &&
        StudyMaterial::write(root / "exam");
    return ok ? 0 : 1;
}

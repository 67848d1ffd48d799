// quorvel-datagen FOLDER: writes the default data sets under FOLDER, always the same bytes.
#include "datasetWriter.h"
#include "studyMaterial.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace
{
const char* const kUsage = "usage: quorvel-datagen FOLDER\n"
                           "Writes the default data sets under FOLDER (about 200 MB).\n";
}

int main(int argc, char* argv[])
{
    const std::string word = argc > 1 ? argv[1] : "";
    if (argc == 2 && (word == "--help" || word == "-h"))
    {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // A word starting with "-" is a mistaken option, not a folder to fill.
    if (argc != 2 || word.empty() || word[0] == '-')
    {
        std::fputs(kUsage, stderr);
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
        StudyMaterial::write(root / "exam") && DatasetWriter::writeWindsNetcdf(root / "winds.nc");
    return ok ? 0 : 1;
}

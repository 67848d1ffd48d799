#include "../data/fieldFiles.h"
#include "common/testFields.h"
#include "datasetWriter.h"
#include "lic/LIC.h"

#include <cstdlib>
#include <sys/stat.h>

namespace
{
// The default fields are meant to show every kind of critical point.
void expectEveryType(float2** rows, int3 size, int step)
{
    CritpntDetect detect;
    detect.genAllCritpntData(rows, 36.0f, &size);
    for (const std::vector<float2>& points : pointsByType(detect))
        EXPECT_FALSE(points.empty()) << size.x << " x " << size.y << ", step " << step;
}
} // namespace

// Each set loads through its header. The series reads every step and slice 49, the one the
// view reads first, without a message, and keeps its empty levels as holes on disk.
TEST(GeneratedData, SetsLoadThroughTheirHeadersAndShowEveryType)
{
    FieldFiles files;
    ASSERT_TRUE(DatasetWriter::writeEarthquakeSteady(files.root / "earthquake_100"));
    ASSERT_TRUE(DatasetWriter::writeHurricaneUnsteady(files.root / "unstdy"));
    DataManipulate data(files.path("earthquake_100.txt"), files.path("earthquake_100.dat"),
                        files.path("unstdy/header.txt"), files.path("unstdy/Uf/Uf01.dat"), true);
    QString lic;
    ASSERT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(data.flowFieldSize.x, 100);
    expectEveryType(data.orgnvectField2dSlice[0], data.flowFieldSize, 0);

    // The LIC image is that of exactly the loaded field: with the noise sequence restarted,
    // the view's own generator reproduces it byte for byte.
    std::srand(1);
    ASSERT_TRUE(DatasetWriter::writeEarthquakeLic(files.root / "earthquake_100.ppm"));
    std::srand(1);
    LIC(data.flowFieldSize)
        .GenLICImage(100, 100, data.orgnvectField2dSlice[0][0], (files.root / "again.ppm").c_str());
    const std::string written = files.bytes("earthquake_100.ppm");
    EXPECT_EQ(written, files.bytes("again.ppm"));
    ASSERT_GT(written.size(), 16u); // header "P6\n100  100\n255\n"
    EXPECT_NE(written.find_first_not_of(written[16], 16), std::string::npos); // not flat

    EXPECT_EQ(printed([&] { ASSERT_TRUE(data.readVectFile(false, lic)); }), "");
    EXPECT_GE(data.unstdyDepth, 50);
    const auto component = files.root / "unstdy/Vf/Vf01.dat";
    EXPECT_EQ(std::int64_t(std::filesystem::file_size(component)),
              std::int64_t(4) * data.flowFieldSize.x * data.flowFieldSize.y * data.unstdyDepth);
    struct stat file;
    ASSERT_EQ(stat(component.c_str(), &file), 0);
    EXPECT_LT(file.st_blocks * 512, file.st_size / 5);
    expectEveryType(data.orgnvectField2dSlice[0], data.flowFieldSize, 49);

    DataManipulate slices("", "", "", "", false);
    DatasetWriter::fillHurricane(slices);
    for (int t = 0; t < 48; t += 7)
        expectEveryType(slices.orgnvectField2dSlice[t], slices.flowFieldSize, t);
}

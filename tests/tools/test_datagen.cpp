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

std::string fileBytes(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST(GeneratedData, SliceFileHoldsTheDefaultField)
{
    FieldFiles files;
    ASSERT_TRUE(DatasetWriter::writeHurricaneSlices(files.root / "hurricane_z_8.dat"));
    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(data.readVectorDataSlice((files.root / "hurricane_z_8.dat").c_str()));
    EXPECT_EQ(data.flowFieldSize.z, 48);
    DataManipulate memory("", "", "", "", false);
    DatasetWriter::fillHurricane(memory);
    EXPECT_TRUE(memory.orgnvectField2d == data.orgnvectField2d);
    for (int t = 0; t < 48; t += 7)
        expectEveryType(memory.orgnvectField2dSlice[t], memory.flowFieldSize, t);
}

TEST(GeneratedData, SteadyAndUnsteadySetsLoadThroughTheirHeaders)
{
    FieldFiles files;
    ASSERT_TRUE(DatasetWriter::writeEarthquakeSteady(files.root / "earthquake_100"));
    ASSERT_TRUE(DatasetWriter::writeHurricaneUnsteady(files.root / "unstdy"));
    DataManipulate data(files.path("earthquake_100.txt"), files.path("earthquake_100.dat"),
                        files.path("unstdy/header.txt"), files.path("unstdy/Uf/Uf01.dat"), true);
    QString lic;
    ASSERT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(data.flowFieldSize.x, 100);
    EXPECT_EQ(lic, files.path("earthquake_100.ppm"));
    expectEveryType(data.orgnvectField2dSlice[0], data.flowFieldSize, 0);

    // Every step and slice 49, the one the view reads first, are found: nothing is reported.
    EXPECT_EQ(printed([&] { ASSERT_TRUE(data.readVectFile(false, lic)); }), "");
    EXPECT_GE(data.unstdyDepth, 50);
    const auto component = files.root / "unstdy/Vf/Vf01.dat";
    EXPECT_EQ(std::int64_t(std::filesystem::file_size(component)),
              std::int64_t(4) * data.flowFieldSize.x * data.flowFieldSize.y * data.unstdyDepth);
    // The levels without data are holes: the series takes a fraction of its length on disk.
    struct stat file;
    ASSERT_EQ(stat(component.c_str(), &file), 0);
    EXPECT_LT(file.st_blocks * 512, file.st_size / 5);
    expectEveryType(data.orgnvectField2dSlice[0], data.flowFieldSize, 49);
}

// The image is the LIC of exactly the field the steady loader delivers: with the noise
// sequence restarted, the view's own generator reproduces it byte for byte. An image that
// cannot be written is reported, not fatal.
TEST(GeneratedData, SteadyLicImageIsTheLicOfTheLoadedSteadyField)
{
    FieldFiles files;
    ASSERT_TRUE(DatasetWriter::writeEarthquakeSteady(files.root / "earthquake_100"));
    std::srand(1);
    ASSERT_TRUE(DatasetWriter::writeEarthquakeLic(files.root / "earthquake_100.ppm"));
    DataManipulate data(files.path("earthquake_100.txt"), files.path("earthquake_100.dat"), "", "",
                        true);
    QString lic;
    ASSERT_TRUE(data.readVectFile(true, lic));
    std::srand(1);
    LIC(data.flowFieldSize)
        .GenLICImage(100, 100, data.orgnvectField2dSlice[0][0],
                     (files.root / "again.ppm").c_str());
    const std::string written = fileBytes(lic);
    EXPECT_EQ(written, fileBytes(files.path("again.ppm")));
    ASSERT_GT(written.size(), 16u); // header "P6\n100  100\n255\n"
    EXPECT_NE(written.find_first_not_of(written[16], 16), std::string::npos); // not flat

    files.text("plain", "a file where a folder should be");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(DatasetWriter::writeEarthquakeLic(files.root / "plain" / "earthquake_100.ppm"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);
}

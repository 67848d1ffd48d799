#include "critpnt/critpntDetect.h"
#include "data/dataManipulate.h"
#include "datasetWriter.h"
#include "lic/LIC.h"
#include "syntheticFlow.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{
class GeneratedData : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device device;
        root = fs::temp_directory_path() / ("quorvel-datagen-" + std::to_string(device()));
    }
    void TearDown() override { fs::remove_all(root); }
    QString path(const char* name) const { return QString::fromStdString((root / name).string()); }
    fs::path root;
};
} // namespace

TEST_F(GeneratedData, SliceFileHasTheAnnouncedSizeAndLoads)
{
    ASSERT_TRUE(DatasetWriter::writeHurricaneSlices(root / "hurricane_z_8.dat"));
    EXPECT_EQ(fs::file_size(root / "hurricane_z_8.dat"), 12u + 500u * 500u * 48u * 8u);
    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(data.readVectorDataSlice((root / "hurricane_z_8.dat").c_str()));
    EXPECT_EQ(data.flowFieldSize.z, 48);
    DataManipulate memory("", "", "", "", false);
    DatasetWriter::fillHurricane(memory);
    EXPECT_TRUE(memory.orgnvectField2d == data.orgnvectField2d);
}

TEST_F(GeneratedData, SteadyAndUnsteadySetsLoadThroughTheirHeaders)
{
    ASSERT_TRUE(DatasetWriter::writeEarthquakeSteady(root / "earthquake_100"));
    ASSERT_TRUE(DatasetWriter::writeHurricaneUnsteady(root / "unstdy"));
    EXPECT_EQ(fs::file_size(root / "earthquake_100.dat"), 100u * 100u * 12u);
    DataManipulate data(path("earthquake_100.txt"), path("earthquake_100.dat"),
                        path("unstdy/header.txt"), path("unstdy/Uf/Uf01.dat"), true);
    QString lic;
    ASSERT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(data.flowFieldSize.x, 100);
    EXPECT_EQ(lic, path("earthquake_100.ppm"));

    testing::internal::CaptureStdout();
    ASSERT_TRUE(data.readVectFile(false, lic));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ""); // every step and slice 49 were found
    EXPECT_GE(data.unstdyDepth, 50);
    EXPECT_EQ(std::int64_t(fs::file_size(root / "unstdy/Vf/Vf01.dat")),
              std::int64_t(4) * data.flowFieldSize.x * data.flowFieldSize.y * data.unstdyDepth);
    EXPECT_NE(data.orgnvectField2dSlice[data.flowFieldSize.z - 1][50][50].x, 0.0f);
    // The levels without data are holes: the series takes a fraction of its length on disk.
    struct stat file;
    ASSERT_EQ(stat((root / "unstdy/Vf/Vf01.dat").c_str(), &file), 0);
    EXPECT_LT(file.st_blocks * 512, file.st_size / 5);

    // Slice 49, the one the view reads first, holds the storm with every kind of point.
    CritpntDetect detect;
    detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
    for (int count : {detect.saddlePntCnt, detect.attrFocusCnt, detect.repFocusCnt,
                      detect.attrNodeCnt, detect.repNodeCnt, detect.centerCnt})
        EXPECT_GT(count, 0);
}

// The image is the LIC of exactly the field the steady loader delivers: with the noise
// sequence restarted, the view's own generator reproduces it byte for byte.
TEST_F(GeneratedData, SteadyLicImageIsTheLicOfTheLoadedSteadyField)
{
    ASSERT_TRUE(DatasetWriter::writeEarthquakeSteady(root / "earthquake_100"));
    std::srand(1);
    ASSERT_TRUE(DatasetWriter::writeEarthquakeLic(root / "earthquake_100.ppm"));

    DataManipulate data(path("earthquake_100.txt"), path("earthquake_100.dat"), "", "", true);
    QString lic;
    ASSERT_TRUE(data.readVectFile(true, lic));
    LIC generator(data.flowFieldSize);
    std::srand(1);
    generator.GenLICImage(100, 100, data.orgnvectField2dSlice[0][0], (root / "again.ppm").c_str());

    Image written, again;
    ASSERT_EQ(generator.imgProc->readPPM(lic.toLocal8Bit().constData(), &written), 1);
    const std::vector<char> writtenPixels(written.data, written.data + 100 * 100 * 3);
    ASSERT_EQ(generator.imgProc->readPPM((root / "again.ppm").c_str(), &again), 1);
    ASSERT_EQ(again.sizeX, 100);
    EXPECT_TRUE(writtenPixels == std::vector<char>(again.data, again.data + 100 * 100 * 3));
    EXPECT_NE(*std::min_element(writtenPixels.begin(), writtenPixels.end()),
              *std::max_element(writtenPixels.begin(), writtenPixels.end()));
}

TEST_F(GeneratedData, UnwritableLicImageIsReportedNotFatal)
{
    fs::create_directories(root);
    std::ofstream(root / "plain") << "a file where a folder should be";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(DatasetWriter::writeEarthquakeLic(root / "plain" / "earthquake_100.ppm"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);
}

// The default field is meant to show every kind of critical point in every time step.
TEST(HurricaneField, EverySliceHoldsEachCriticalPointType)
{
    DataManipulate data("", "", "", "", false);
    DatasetWriter::fillHurricane(data);
    for (int t = 0; t < data.flowFieldSize.z; t += 7)
    {
        CritpntDetect detect;
        int3 size = data.flowFieldSize;
        detect.genAllCritpntData(data.orgnvectField2dSlice[t], 36.0f, &size);
        EXPECT_GT(detect.saddlePntCnt, 0) << t;
        EXPECT_GT(detect.attrFocusCnt, 0) << t;
        EXPECT_GT(detect.repFocusCnt, 0) << t;
        EXPECT_GT(detect.attrNodeCnt, 0) << t;
        EXPECT_GT(detect.repNodeCnt, 0) << t;
        EXPECT_GT(detect.centerCnt, 0) << t;
    }
}

TEST(EarthquakeField, HoldsEachCriticalPointType)
{
    DataManipulate data("", "", "", "", true);
    data.flowFieldSize = int3{100, 100, 1};
    data.orgnvectField2d.resize(100 * 100);
    data.assignPointerto2Ddata();
    const SyntheticFlow flow = SyntheticFlow::earthquake();
    for (int j = 0; j < 100; ++j)
        for (int i = 0; i < 100; ++i)
            data.orgnvectField2dSlice[0][j][i] = flow.velocity(i, j);
    CritpntDetect detect;
    detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
    EXPECT_GE(detect.repFocusCnt, 1);
    EXPECT_GE(detect.attrFocusCnt, 1);
    EXPECT_GE(detect.centerCnt, 1);
    EXPECT_GE(detect.repNodeCnt, 1);
    EXPECT_GE(detect.attrNodeCnt, 1);
    EXPECT_GE(detect.saddlePntCnt, 1);
}

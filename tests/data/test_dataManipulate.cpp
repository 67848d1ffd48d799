#include "data/dataManipulate.h"
#include "fieldFiles.h"

#include <gtest/gtest.h>

namespace
{
std::vector<float2> ramp(int n)
{
    std::vector<float2> samples(n);
    for (int k = 0; k < n; ++k)
        samples[k] = makeFloat2(float(k), float(-k));
    return samples;
}

std::vector<float3> steadyRecords(int n)
{
    std::vector<float3> records(n);
    for (int k = 0; k < n; ++k)
        records[k] = makeFloat3(float(k), 0.5f * k, 1000.0f + k);
    return records;
}

class FieldLoading : public ::testing::Test
{
protected:
    DataManipulate makeData() const
    {
        return DataManipulate(files.path("stdy/field.txt"), files.path("stdy/field.dat"),
                              files.path("unstdy/header.txt"), files.path("unstdy/Uf/Uf01.dat"),
                              true);
    }
    // Loads a 2 x 2 x 3 ramp through the slice file so that a later refusal has something to keep.
    void loadSlice(DataManipulate& data) const
    {
        files.slice("slice.dat", {2, 2, 3}, ramp(12));
        ASSERT_TRUE(data.readVectorDataSlice(files.path("slice.dat").toLocal8Bit().constData()));
    }
    static void expectHeldRamp(const DataManipulate& data)
    {
        EXPECT_EQ(data.flowFieldSize.x, 2);
        EXPECT_EQ(data.flowFieldSize.z, 3);
        ASSERT_EQ(data.orgnvectField2d.size(), 12u);
        EXPECT_EQ(data.orgnvectField2dSlice[2][1][1].x, 11.0f);
    }
    FieldFiles files;
};
} // namespace

TEST_F(FieldLoading, SliceFileLaysOutStepsRowsAndColumns)
{
    DataManipulate data = makeData();
    files.slice("slice.dat", {2, 2, 3}, ramp(12));
    EXPECT_EQ(std::filesystem::file_size(files.root / "slice.dat"), 108u);
    ASSERT_TRUE(data.readVectorDataSlice(files.path("slice.dat").toLocal8Bit().constData()));
    EXPECT_EQ(data.orgnvectField2dSlice[2][1][0].x, 10.0f); // the eleventh sample
    EXPECT_EQ(data.orgnvectField2dSlice[0][1][1].y, -3.0f);
    EXPECT_EQ(data.winWidth, 2);
    EXPECT_TRUE(data.currentVecFile.empty());
}

TEST_F(FieldLoading, BadSliceFilesAreRefusedAndKeepTheHeldField)
{
    DataManipulate data = makeData();
    EXPECT_FALSE(data.readVectorDataSlice(files.path("missing.dat").toLocal8Bit().constData()));
    EXPECT_FALSE(data.hasField());
    loadSlice(data);

    files.binary("tiny.dat", std::vector<char>{1, 2, 3});
    files.slice("short.dat", {4, 4, 2}, ramp(31));
    files.slice("negative.dat", {-4, 4, 2}, ramp(4));
    files.slice("huge.dat", {1 << 20, 1 << 20, 1}, ramp(4));
    for (const char* name : {"tiny.dat", "short.dat", "negative.dat", "huge.dat"})
    {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(data.readVectorDataSlice(files.path(name).toLocal8Bit().constData()));
        EXPECT_NE(testing::internal::GetCapturedStdout().find("Refused slice file"),
                  std::string::npos);
        expectHeldRamp(data);
    }
}

TEST_F(FieldLoading, SteadyPairLoadsOneStepAndNamesTheLicImage)
{
    files.text("stdy/field.txt", "100 100\n1\n");
    files.binary("stdy/field.dat", steadyRecords(10000));
    EXPECT_EQ(std::filesystem::file_size(files.root / "stdy/field.dat"), 120000u);
    DataManipulate data = makeData();
    QString lic;
    ASSERT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(data.flowFieldSize.x, 100);
    EXPECT_EQ(data.flowFieldSize.z, 1);
    EXPECT_EQ(data.orgnvectField2dSlice[0][2][3].x, 203.0f);
    EXPECT_EQ(data.orgnvectField2dSlice[0][2][3].y, 101.5f);
    EXPECT_EQ(QString::fromStdString(data.currentVecFile), files.path("stdy/field"));
    EXPECT_EQ(lic, files.path("stdy/field.ppm"));
}

TEST_F(FieldLoading, SteadyHeaderWithSeveralStepsLoadsOne)
{
    files.text("stdy/field.txt", "3 2 5");
    files.binary("stdy/field.dat", steadyRecords(6));
    DataManipulate data = makeData();
    QString lic;
    ASSERT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(data.flowFieldSize.z, 1);
    EXPECT_EQ(data.orgnvectField2dSlice.size(), 1u);
    EXPECT_EQ(data.orgnvectField2d.size(), 6u);
}

TEST_F(FieldLoading, BadSteadyInputIsRefusedAndKeepsTheHeldField)
{
    DataManipulate data = makeData();
    loadSlice(data);
    const std::pair<const char*, int> cases[] = {
        {"abc 10 1", 10}, {"0 10 1", 10}, {"-5 10 1", 10}, {"100000 100000 1", 10}, {"4 4 1", 15}};
    for (const auto& [header, records] : cases)
    {
        files.text("stdy/field.txt", header);
        files.binary("stdy/field.dat", steadyRecords(records));
        QString lic = "kept.ppm";
        testing::internal::CaptureStdout();
        EXPECT_FALSE(data.readVectFile(true, lic)) << header;
        EXPECT_NE(testing::internal::GetCapturedStdout().find("Refused"), std::string::npos);
        EXPECT_EQ(lic, "kept.ppm");
        expectHeldRamp(data);
    }
}

TEST_F(FieldLoading, MissingHeaderGoesOnWithTheHeldSize)
{
    DataManipulate data = makeData();
    loadSlice(data);
    files.binary("stdy/field.dat", steadyRecords(4));
    QString lic;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Can't open header file!");
    EXPECT_EQ(data.flowFieldSize.z, 1);
    EXPECT_EQ(data.orgnvectField2dSlice[0][1][1].x, 3.0f);
}

TEST_F(FieldLoading, SaddleInTheDataPathCopiesSample5049)
{
    files.text("stdy/field.txt", "100 100 1");
    files.binary("saddle/field.dat", steadyRecords(10000));
    files.binary("Saddle/field.dat", steadyRecords(10000));
    DataManipulate data = makeData();
    QString lic;
    data.stdyDatPth = files.path("saddle/field.dat");
    ASSERT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(data.orgnvectField2dSlice[0][50][50].x, 5049.0f);
    data.stdyDatPth = files.path("Saddle/field.dat");
    ASSERT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(data.orgnvectField2dSlice[0][50][50].x, 5050.0f);
}

namespace
{
// Component volume of a 3 x 2 grid with the given depth: value = 100 * step + 10 * slice + k.
std::vector<float> component(int depth, int step, float sign)
{
    std::vector<float> values;
    for (int s = 0; s < depth; ++s)
        for (int k = 0; k < 6; ++k)
            values.push_back(sign * (100.0f * step + 10.0f * s + k));
    return values;
}
} // namespace

TEST_F(FieldLoading, UnsteadySeriesPairsUAndVFilesPerStep)
{
    files.text("unstdy/header.txt", "3 1 3 2 4 3");
    for (int t = 1; t <= 3; ++t)
    {
        const std::string n = "0" + std::to_string(t);
        files.binary("unstdy/Uf/Uf" + n + ".dat", component(4, t, 1.0f));
        files.binary("unstdy/Vf/Vf" + n + ".dat", component(4, t, -1.0f));
    }
    DataManipulate data = makeData();
    data.uiUnstdySlicId = 2;
    QString lic = "untouched";
    ASSERT_TRUE(data.readVectFile(false, lic));
    EXPECT_EQ(lic, "untouched");
    EXPECT_EQ(data.flowFieldSize.z, 3);
    EXPECT_EQ(data.unstdyDepth, 4);
    EXPECT_EQ(data.orgnvectField2dSlice[0][1][2].x, 125.0f);
    EXPECT_EQ(data.orgnvectField2dSlice[2][0][1].y, -321.0f);
    EXPECT_TRUE(data.unstdyDatPth.endsWith("Uf/Uf03.dat"));
    EXPECT_TRUE(data.unstdyDatPth2.endsWith("Vf/Vf03.dat"));
    EXPECT_EQ(QString::fromStdString(data.currentVecFile), files.path("unstdy/hurricane"));
}

TEST_F(FieldLoading, UnsteadyGapsLeaveZeroStepsWithAMessage)
{
    files.text("unstdy/header.txt", "3 1 3 2 4 4");
    files.binary("unstdy/Uf/Uf01.dat", component(4, 1, 1.0f));
    files.binary("unstdy/Vf/Vf01.dat", component(4, 1, 1.0f));
    files.binary("unstdy/Uf/Uf02.dat", component(2, 2, 1.0f)); // too short for slice 3
    files.binary("unstdy/Vf/Vf02.dat", component(4, 2, 1.0f));
    files.binary("unstdy/Uf/Uf03.dat", component(4, 3, 1.0f)); // V file of step 3 is missing
    files.binary("unstdy/Uf/Uf04.dat", component(4, 4, 1.0f));
    files.binary("unstdy/Vf/Vf04.dat", component(4, 4, 1.0f));
    DataManipulate data = makeData();
    data.uiUnstdySlicId = 3;
    QString lic;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(data.readVectFile(false, lic));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("hold no depth slice 3; step 2 left zero"), std::string::npos);
    EXPECT_NE(out.find("Can't open Data file!"), std::string::npos);
    EXPECT_EQ(data.orgnvectField2dSlice[0][0][1].x, 131.0f);
    for (int t = 1; t < 4; ++t)
        EXPECT_EQ(data.orgnvectField2dSlice[t][1][2].x, 0.0f) << t;
}

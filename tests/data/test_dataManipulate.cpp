#include "data/dataManipulate.h"
#include "fieldFiles.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utility>

namespace
{
// What a call printed on standard output, as far as it reached the file without a flush.
std::string printedUnflushed(const std::function<void()>& call)
{
    std::fflush(stdout);
    std::FILE* file = std::tmpfile();
    const int saved = dup(1);
    dup2(fileno(file), 1);
    call();
    std::string text(1 << 16, '\0');
    text.resize(std::max<ssize_t>(pread(fileno(file), text.data(), text.size(), 0), 0));
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::fclose(file);
    return text;
}

bool mentions(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

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
    files.slice("long.dat", {2, 2, 2}, ramp(12));
    files.slice("negative.dat", {-4, 4, 2}, ramp(4));
    files.slice("huge.dat", {1 << 20, 1 << 20, 1}, ramp(4));
    // Products that wrap around in 64 bits, and a 16 x 16 x 2 header written big-endian.
    files.slice("wraps.dat", {1 << 30, 1 << 30, 16}, {});
    files.slice("intmax.dat", {INT_MAX, INT_MAX, 3}, {});
    files.slice("bigendian.dat", {1 << 28, 1 << 28, 1 << 25}, ramp(512));
    std::filesystem::create_directories(files.root / "folder.dat");
    const std::pair<const char*, const char*> cases[] = {
        {"missing.dat", "missing.dat: No such file or directory"},
        {"folder.dat", "folder.dat: Is a directory"},
        {"tiny.dat", "shorter than its 12-byte header"},
        {"short.dat", "it holds 260 bytes, its header 4 x 4 x 2 announces 268"},
        {"long.dat", "it holds 108 bytes, its header 2 x 2 x 2 announces 76"},
        {"negative.dat", "bad field size -4 x 4 x 2"},
        {"huge.dat", "bad field size"},
        {"wraps.dat", "bad field size"},
        {"intmax.dat", "bad field size"},
        {"bigendian.dat", "bad field size"},
    };
    for (const auto& [name, reason] : cases)
    {
        const QByteArray path = files.path(name).toLocal8Bit();
        bool loaded = true;
        const std::string out =
            printedUnflushed([&] { loaded = data.readVectorDataSlice(path.constData()); });
        EXPECT_FALSE(loaded) << name;
        EXPECT_PRED2(mentions, out, reason);
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
    struct Case
    {
        const char* header;
        int records; // -1: a folder stands in for the vector file
        const char* reason;
    };
    const Case cases[] = {
        {"abc 10 1", 10, "does not hold 3 valid sizes"},
        {"0 10 1", 10, "does not hold 3 valid sizes"},
        {"-5 10 1", 10, "does not hold 3 valid sizes"},
        {"100000 100000 1", 10, "does not hold 3 valid sizes"},
        {"4 4 1", 15, "field.dat: it holds 180 bytes, 192 are needed"},
        {"4 4 1", -1, "field.dat: Is a directory"},
    };
    for (const auto& [header, records, reason] : cases)
    {
        files.text("stdy/field.txt", header);
        std::filesystem::remove_all(files.root / "stdy/field.dat");
        if (records < 0)
            std::filesystem::create_directories(files.root / "stdy/field.dat");
        else
            files.binary("stdy/field.dat", steadyRecords(records));
        QString lic = "kept.ppm";
        bool loaded = true;
        const std::string out = printedUnflushed([&] { loaded = data.readVectFile(true, lic); });
        EXPECT_FALSE(loaded) << header;
        EXPECT_PRED2(mentions, out, reason);
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
    bool loaded = false;
    EXPECT_EQ(printedUnflushed([&] { loaded = data.readVectFile(true, lic); }),
              "Can't open header file! " + files.path("stdy/field.txt").toStdString() +
                  ": No such file or directory\n");
    EXPECT_TRUE(loaded);
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

TEST_F(FieldLoading, UnsteadySetsWithMissingOrShortFilesAreRefusedBeforeAllocating)
{
    DataManipulate data = makeData();
    loadSlice(data);
    data.uiUnstdySlicId = 3;
    struct Case
    {
        const char* header;
        std::vector<std::pair<std::string, int>> files; // component file, depth (-1: a folder)
        const char* reason;
    };
    const Case cases[] = {
        {"3 1 16384 16384 4 1", {{"Uf/Uf01", 0}}, "Uf01.dat: it holds 0 bytes, 4294967296 are"},
        {"3 1 3 2 4 2",
         {{"Uf/Uf01", 4}, {"Vf/Vf01", 4}, {"Uf/Uf02", 4}},
         "Vf02.dat: No such file or directory"},
        {"3 1 3 2 4 2",
         {{"Uf/Uf01", 4}, {"Vf/Vf01", 4}, {"Uf/Uf02", 2}, {"Vf/Vf02", 4}},
         "Uf02.dat: it holds 48 bytes, 96 are needed"},
        {"3 1 3 2 4 1", {{"Uf/Uf01", -1}, {"Vf/Vf01", 4}}, "Uf01.dat: Is a directory"},
    };
    for (const Case& c : cases)
    {
        std::filesystem::remove_all(files.root / "unstdy");
        files.text("unstdy/header.txt", c.header);
        for (const auto& [name, depth] : c.files)
            if (depth < 0)
                std::filesystem::create_directories(files.root / ("unstdy/" + name + ".dat"));
            else
                files.binary("unstdy/" + name + ".dat", component(depth, 1, 1.0f));
        QString lic;
        bool loaded = true;
        const std::string out = printedUnflushed([&] { loaded = data.readVectFile(false, lic); });
        EXPECT_FALSE(loaded) << c.header;
        EXPECT_PRED2(mentions, out, c.reason);
        expectHeldRamp(data);
        EXPECT_TRUE(data.unstdyDatPth.endsWith("Uf/Uf01.dat"));
    }
}

#include "common/testFields.h"
#include "data/fieldWriter.h"
#include "fieldFiles.h"

#include <climits>
#include <cmath>
#include <sys/stat.h>

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

// Component volume of a 3 x 2 grid with the given depth: value = 100 * step + 10 * slice + k.
std::vector<float> component(int depth, int step, float sign)
{
    std::vector<float> values;
    for (int s = 0; s < depth; ++s)
        for (int k = 0; k < 6; ++k)
            values.push_back(sign * (100.0f * step + 10.0f * s + k));
    return values;
}

class FieldLoading : public ::testing::Test
{
protected:
    // A 3 x 2 x 2 ramp through the slice file: what a refused load must keep.
    void loadSlice()
    {
        files.slice("slice.dat", {3, 2, 2}, ramp(12));
        ASSERT_TRUE(data.readVectorDataSlice(files.path("slice.dat").toLocal8Bit().constData()));
    }
    void expectHeldSlice() const
    {
        EXPECT_EQ(data.flowFieldSize.x, 3);
        EXPECT_EQ(data.flowFieldSize.y, 2);
        EXPECT_EQ(data.flowFieldSize.z, 2);
        ASSERT_EQ(data.orgnvectField2d.size(), 12u);
        EXPECT_EQ(data.orgnvectField2dSlice[1][1][2].x, 11.0f);
        EXPECT_EQ(data.orgnvectField2dSlice[1][0][1].x, 7.0f);
        EXPECT_EQ(data.orgnvectField2dSlice[0][1][0].y, -3.0f);
    }
    // Loads the steady or unsteady set, expecting a refusal that keeps the held field and
    // the LIC image path; returns what was printed.
    std::string refusedLoad(bool bStdy)
    {
        QString lic = "kept.ppm";
        bool loaded = true;
        const std::string out = printed([&] { loaded = data.readVectFile(bStdy, lic); });
        EXPECT_FALSE(loaded);
        EXPECT_EQ(lic, "kept.ppm");
        expectHeldSlice();
        return out;
    }

    FieldFiles files;
    // An upper-case U above the series' folder is no component letter.
    DataManipulate data{files.path("stdy/field.txt"), files.path("stdy/field.dat"),
                        files.path("Unstdy/header.txt"), files.path("Unstdy/Uf/Uf01.dat"), true};
};
} // namespace

TEST_F(FieldLoading, BadSliceFilesAreRefusedAndKeepTheHeldField)
{
    EXPECT_FALSE(data.hasField());
    loadSlice();
    EXPECT_EQ(data.winWidth, 3);
    EXPECT_TRUE(data.currentVecFile.empty());
    files.text("tiny.dat", "abc");
    std::filesystem::create_directories(files.root / "folder.dat");
    mkfifo(files.path("fifo.dat").toLocal8Bit().constData(), 0600);
    // The last header is 16 x 16 x 2 written big-endian.
    const std::tuple<const char*, int3, int, const char*> cases[] = {
        {"missing.dat", {}, -1, "missing.dat: No such file or directory"},
        {"folder.dat", {}, -1, "folder.dat: Is a directory"},
        {"fifo.dat", {}, -1, "fifo.dat: Not a regular file"},
        {"tiny.dat", {}, -1, "shorter than its 12-byte header"},
        {"short.dat", {4, 4, 2}, 31, "it holds 260 bytes, its header 4 x 4 x 2 announces 268"},
        {"long.dat", {2, 2, 2}, 12, "it holds 108 bytes, its header 2 x 2 x 2 announces 76"},
        {"negative.dat", {-4, 4, 2}, 4, "bad field size -4 x 4 x 2"},
        {"huge.dat", {1 << 20, 1 << 20, 1}, 4, "bad field size"},
        {"steps.dat", {1 << 14, 1 << 14, 2}, 4, "bad field size"},
        {"intmax.dat", {INT_MAX, INT_MAX, 3}, 0, "bad field size"},
        {"bigendian.dat", {1 << 28, 1 << 28, 1 << 25}, 512, "bad field size"},
    };
    for (const auto& [name, size, samples, reason] : cases)
    {
        if (samples >= 0)
            files.slice(name, size, ramp(samples));
        const QByteArray path = files.path(name).toLocal8Bit();
        bool loaded = true;
        const std::string out =
            printed([&] { loaded = data.readVectorDataSlice(path.constData()); });
        EXPECT_FALSE(loaded) << name;
        EXPECT_PRED2(mentions, out, reason);
        expectHeldSlice();
    }
    // A link is read as the file it names.
    std::filesystem::create_symlink(files.root / "slice.dat", files.root / "link.dat");
    data.orgnvectField2d.clear();
    ASSERT_TRUE(data.readVectorDataSlice(files.path("link.dat").toLocal8Bit().constData()));
    expectHeldSlice();
}

// One step is read, whatever number of steps the header announces.
TEST_F(FieldLoading, SteadyPairLoadsOneStepAndNamesTheLicImage)
{
    files.binary("stdy/field.dat", steadyRecords(10000));
    QString lic;
    for (const std::string header : {"100 100\n1\n", "100 100 1000000"})
    {
        files.text("stdy/field.txt", header);
        ASSERT_TRUE(data.readVectFile(true, lic)) << header;
        EXPECT_EQ(data.flowFieldSize.x, 100);
        EXPECT_EQ(data.flowFieldSize.z, 1);
        EXPECT_EQ(data.orgnvectField2dSlice[0][2][3].x, 203.0f);
        EXPECT_EQ(data.orgnvectField2dSlice[0][2][3].y, 101.5f);
        EXPECT_EQ(QString::fromStdString(data.currentVecFile), files.path("stdy/field"));
        EXPECT_EQ(lic, files.path("stdy/field.ppm"));
    }
    // A path naming "saddle", so spelt, copies sample 5049 over sample 5050.
    for (const auto& [folder, sample] : {std::pair{"saddle", 5049.0f}, {"Saddle", 5050.0f}})
    {
        files.binary(folder + std::string("/field.dat"), steadyRecords(10000));
        data.stdyDatPth = files.path(folder + std::string("/field.dat"));
        ASSERT_TRUE(data.readVectFile(true, lic));
        EXPECT_EQ(data.orgnvectField2dSlice[0][50][50].x, sample) << folder;
    }
}

TEST_F(FieldLoading, BadSteadyInputIsRefusedAndKeepsTheHeldField)
{
    loadSlice();
    const std::tuple<const char*, int, const char*> cases[] = {
        {"abc 10 1", 120, "does not hold 3 valid sizes"},
        {"0 10 1", 120, "does not hold 3 valid sizes"},
        {"100000 100000 1", 120, "does not hold 3 valid sizes"},
        {"4 4 1", 188, "field.dat: it holds 188 bytes, 192 are needed"},
        {"4 4 1", 196, "field.dat: it holds 196 bytes, its header 4 x 4 announces 192"},
    };
    for (const auto& [header, bytes, reason] : cases)
    {
        files.text("stdy/field.txt", header);
        files.text("stdy/field.dat", std::string(std::size_t(bytes), '\0'));
        EXPECT_PRED2(mentions, refusedLoad(true), reason);
    }
}

TEST_F(FieldLoading, UnsteadySeriesPairsFilesPerStepAndIsRefusedBeforeAllocating)
{
    files.text("Unstdy/header.txt", "3 1 3 2 4 3");
    for (int t = 1; t <= 3; ++t)
    {
        const std::string n = "0" + std::to_string(t);
        files.binary("Unstdy/Uf/Uf" + n + ".dat", component(4, t, 1.0f));
        files.binary("Unstdy/Vf/Vf" + n + ".dat", component(4, t, -1.0f));
    }
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
    EXPECT_EQ(QString::fromStdString(data.currentVecFile), files.path("Unstdy/hurricane"));
    // Sets with missing or short files: the held field and the picked path stay.
    loadSlice();
    data.unstdyDatPth = files.path("Unstdy/Uf/Uf01.dat");
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
         {{"Uf/Uf01", 4}, {"Vf/Vf01", 4}, {"Uf/Uf02", 3}, {"Vf/Vf02", 4}},
         "Uf02.dat: it holds 72 bytes, 96 are needed"},
        {"3 1 3 2 4 1", {{"Uf/Uf01", -1}, {"Vf/Vf01", 4}}, "Uf01.dat: Is a directory"},
        {"3 1 3 2 3 1",
         {{"Uf/Uf01", 4}, {"Vf/Vf01", 4}},
         "no depth slice 3, its header announces 3"},
        {"3 1 3 2 -4 1", {{"Uf/Uf01", 4}, {"Vf/Vf01", 4}}, "does not hold 6 valid sizes"},
    };
    for (const Case& c : cases)
    {
        std::filesystem::remove_all(files.root / "Unstdy");
        files.text("Unstdy/header.txt", c.header);
        for (const auto& [name, depth] : c.files)
            if (depth < 0)
                std::filesystem::create_directories(files.root / ("Unstdy/" + name + ".dat"));
            else
                files.binary("Unstdy/" + name + ".dat", component(depth, 1, 1.0f));
        EXPECT_PRED2(mentions, refusedLoad(false), c.reason);
        EXPECT_TRUE(data.unstdyDatPth.endsWith("Uf/Uf01.dat"));
        EXPECT_EQ(data.unstdyDepth, 4) << c.header;
    }
}

// NaN and infinite samples of every loader become zero vectors, counted in a message.
TEST_F(FieldLoading, NonFiniteSamplesBecomeZeroAndAreCounted)
{
    // Sample 1 holds a NaN, sample 4 an infinity, in each format.
    const float nan = std::nanf(""), inf = INFINITY;
    std::vector<float2> samples = ramp(6);
    std::vector<float3> records = steadyRecords(6);
    std::vector<float> u = component(1, 0, 1.0f), v = component(1, 0, -1.0f);
    samples[1].x = records[1].y = u[1] = nan;
    samples[4].y = records[4].x = v[4] = -inf;
    records[5].z = nan; // vz is not read
    files.slice("slice.dat", {3, 2, 1}, samples);
    files.binary("stdy/field.dat", records);
    files.text("stdy/field.txt", "3 2 1");
    files.text("Unstdy/header.txt", "3 1 3 2 1 1");
    files.binary("Unstdy/Uf/Uf01.dat", u);
    files.binary("Unstdy/Vf/Vf01.dat", v);
    data.uiUnstdySlicId = 0;
    QString lic;
    const std::function<bool()> loads[] = {
        [&] { return data.readVectorDataSlice(files.path("slice.dat").toLocal8Bit().constData()); },
        [&] { return data.readVectFile(true, lic); },
        [&] { return data.readVectFile(false, lic); }};
    for (const auto& load : loads)
    {
        bool loaded = false;
        const std::string out = printed([&] { loaded = load(); });
        ASSERT_TRUE(loaded);
        EXPECT_PRED2(mentions, out, "2 of 6 samples are not finite (NaN or Inf), set to zero");
        EXPECT_EQ(data.orgnvectField2d[1], makeFloat2(0, 0));
        EXPECT_EQ(data.orgnvectField2d[4], makeFloat2(0, 0));
        EXPECT_EQ(data.orgnvectField2d[5].x, 5.0f);
    }
}

// A zero vector has no direction and stays zero; a saved step loads back as a steady field.
TEST_F(FieldLoading, NormalisedStepSavesAndLoadsBack)
{
    loadSlice();
    data.normalizaVec(data.orgnvectField2dSlice[0]);
    EXPECT_EQ(data.orgnvectField2dSlice[0][0][0], makeFloat2(0, 0));
    files.text("stdy/field.txt", "3 2 1");
    ASSERT_TRUE(data.saveVectorDataSlice(files.path("stdy/field.dat").toLocal8Bit().constData()));
    QString lic;
    ASSERT_TRUE(data.readVectFile(true, lic));
    EXPECT_FLOAT_EQ(data.orgnvectField2dSlice[0][1][2].x, std::sqrt(0.5f));
    EXPECT_FLOAT_EQ(data.orgnvectField2dSlice[0][1][2].y, -std::sqrt(0.5f));
    EXPECT_EQ(data.orgnvectField2d.size(), 6u);
}

// A field one step short of what was announced leaves nothing behind, in each format; so do
// one step too many and a size beyond the limit, refused before anything is written.
TEST(FieldWriting, IncompleteFieldsLeaveNoFileLongSeriesLoad)
{
    const std::pair<FieldWriter::Format, const char*> formats[] = {
        {FieldWriter::Format::Steady, "field"},
        {FieldWriter::Format::Unsteady, "series"},
        {FieldWriter::Format::Slice, "field.dat"}};
    for (const auto& [format, target] : formats)
    {
        FieldFiles files;
        const int steps = format == FieldWriter::Format::Steady ? 1 : 3;
        const std::vector<float2> step(3 * 2 * 2, makeFloat2(1.0f, -1.0f));
        {
            FieldWriter writer(format, files.root / target, {3, 2, steps}, 2);
            for (int t = 0; t + 1 < steps; ++t)
                EXPECT_TRUE(writer.writeStep(step.data())) << target;
            EXPECT_FALSE(writer.commit()) << target;
            EXPECT_NE(writer.error().find(target), std::string::npos) << writer.error();
        }
        {
            FieldWriter over(format, files.root / target, {3, 2, steps}, 2);
            for (int t = 0; t < steps; ++t)
                EXPECT_TRUE(over.writeStep(step.data())) << target;
            EXPECT_FALSE(over.writeStep(step.data())) << target;
            FieldWriter huge(format, files.root / target, {1 << 16, 1 << 15, 1});
            EXPECT_PRED2(mentions, huge.error(), "cannot be written");
        }
        EXPECT_TRUE(std::filesystem::is_empty(files.root)) << target;
    }
    // Step 101 and later are named as the loader reads them: Uf101.dat follows Uf100.dat.
    FieldFiles files;
    {
        FieldWriter writer(FieldWriter::Format::Unsteady, files.root / "series", {2, 2, 102});
        for (int t = 0; t < 102; ++t)
            writer.writeStep(std::vector<float2>(4, makeFloat2(float(t), 1.0f)).data());
        ASSERT_TRUE(writer.commit()) << writer.error();
    }
    DataManipulate data("", "", files.path("series/header.txt"), files.path("series/Uf/Uf01.dat"),
                        false);
    data.uiUnstdySlicId = 0;
    QString lic;
    ASSERT_TRUE(data.readVectFile(false, lic));
    EXPECT_EQ(data.orgnvectField2dSlice[100][1][1].x, 100.0f);
    EXPECT_EQ(data.orgnvectField2dSlice[101][1][1].x, 101.0f);
    EXPECT_TRUE(data.unstdyDatPth.endsWith("Uf/Uf102.dat")) << data.unstdyDatPth.toStdString();
}

#include "../data/fieldFiles.h"
#include "batchProgram.h"
#include "common/testFields.h"
#include "critpnt/critpntTracker.h"
#include "datasetWriter.h"
#include "ftle/ftleColourMap.h"
#include "ftle/ftleField.h"
#include "globalWinds.h"
#include "lic/LIC.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

// Runs a job; a failure, and only a failure, says what went wrong.
static int batch(const std::vector<std::string>& words, std::string* out = nullptr)
{
    std::ostringstream text, err;
    const int code = BatchProgram::run(words, text, err);
    EXPECT_EQ(code == 0, err.str().find("quorvel-batch: ") == std::string::npos) << words[0];
    if (out)
        *out = text.str();
    return code;
}

// The jobs give what the core gives the view for the same field, time step and seed.
TEST(Batch, LicAndTraceAreTheCoresOwnAndFailuresSayWhy)
{
    FieldFiles files;
    const std::string field = files.path("hurricane.dat").toStdString();
    ASSERT_TRUE(DatasetWriter::writeHurricaneSlices(field));
    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(data.readVectorDataSlice(field.c_str()));
    int3 size = data.flowFieldSize;
    float2*** slices = data.orgnvectField2dSlice.data();

    std::srand(1);
    LIC(size).GenLICImage(size.x, size.y, slices[1][0], files.path("core.ppm").toUtf8().data());
    EXPECT_EQ(batch({"lic", field, files.path("job.ppm").toStdString(), "--time", "1"}), 0);
    EXPECT_EQ(files.bytes("job.ppm"), files.bytes("core.ppm"));

    TracedLines lines;
    float2 seed = makeFloat2(250.0f, 250.0f);
    Tracing(size, 1).strmlTracing(seed, size, slices, &lines, nullptr, nullptr, 0,
                                  lines.currNumpnt);
    std::string csv;
    EXPECT_EQ(batch({"trace", field, "--seed", "250,250", "--time", "1"}, &csv), 0);
    std::istringstream rows(csv);
    rows.ignore(64, '\n'); // line,point,x,y
    float v[4] = {};
    int k = 0;
    char comma;
    for (; rows >> v[0] >> comma >> v[1] >> comma >> v[2] >> comma >> v[3]; ++k)
    {
        ASSERT_LT(k, lines.currNumpnt);
        EXPECT_EQ(v[2], lines.pointArray[k].x) << k;
        EXPECT_EQ(v[3], lines.pointArray[k].y) << k;
    }
    EXPECT_EQ(k, lines.currNumpnt);

    // Each point with its type's code, the types in display order.
    CritpntDetect detect;
    detect.genAllCritpntData(slices[1], 36.0f, &size);
    EXPECT_EQ(batch({"critpnt", field, "--time", "1"}, &csv), 0);
    std::istringstream listed(csv);
    std::string row;
    std::getline(listed, row); // x,y,type,code
    const int codes[] = {3, 2, 6, 1, 0, 4};
    const auto byType = pointsByType(detect);
    for (int type = 0; type < 6; ++type)
        for (const float2& p : byType[type])
        {
            ASSERT_TRUE(std::getline(listed, row)) << "fewer points listed";
            ASSERT_EQ(std::sscanf(row.c_str(), "%f,%f,%*[^,],%f", &v[0], &v[1], &v[3]), 3) << row;
            EXPECT_EQ(v[0], p.x);
            EXPECT_EQ(v[1], p.y);
            EXPECT_EQ(v[3], float(codes[type])) << row;
        }
    EXPECT_FALSE(std::getline(listed, row)) << "more points listed";

    // The tracks row by row, a track's rows together; the JSON's events as the core's.
    CritpntTracker tracker;
    tracker.track(slices, size, 40, 47);
    EXPECT_EQ(batch({"critpnt", field, "--track", "--times", "40:47"}, &csv), 0);
    std::istringstream tracked(csv);
    std::getline(tracked, row); // track,step,x,y,type,code
    int id = 0, step = 0, typeCode = 0;
    for (std::size_t n = 0; n < tracker.tracks.size(); ++n)
        for (const trackPoint& p : tracker.tracks[n].points)
        {
            ASSERT_TRUE(std::getline(tracked, row)) << "fewer points listed";
            ASSERT_EQ(std::sscanf(row.c_str(), "%d,%d,%f,%f,%*[^,],%d", &id, &step, &v[0], &v[1],
                                  &typeCode),
                      5)
                << row;
            EXPECT_EQ(id, int(n));
            EXPECT_EQ(step, p.step);
            EXPECT_EQ(v[0], p.pos.x);
            EXPECT_EQ(v[1], p.pos.y);
            EXPECT_EQ(typeCode, p.type);
        }
    EXPECT_FALSE(std::getline(tracked, row)) << "more points listed";
    ASSERT_EQ(tracker.events.size(), 1u); // the rainband eddy and its saddle
    EXPECT_EQ(batch({"critpnt", field, "--track", "--times", "40:47", "--format", "json"}, &csv),
              0);
    EXPECT_NE(csv.find("{\"kind\": \"death\", \"step\": " + std::to_string(tracker.events[0].step)),
              std::string::npos);

    const std::pair<std::vector<std::string>, int> exits[] = {
        {{"critpnt", field, "--track", "--time", "1"}, 2},
        {{"critpnt", field, "--track", "--times", "40:48"}, 1},
        {{"lic", field, "out.png", "--pixels-per-cell", "33"}, 2}, // 16500 pixels wide
        {{"render", field, "out.png", "--mark-size", "20"}, 2},
        {{"critpnt", field, "--time", "48"}, 1}};
    for (const auto& [words, code] : exits)
        EXPECT_EQ(batch(words), code) << words[0] << ' ' << words.size();
}

// The FTLE table holds the core's values seed by seed; the image maps them north up.
TEST(Batch, FtleIsTheCoresOwn)
{
    FieldFiles files;
    const int3 size{30, 20, 6};
    const DataManipulate data =
        makeField(size, [](int i, int j, int t)
                  { return makeFloat2(std::sin(0.3f * j + 0.5f * t), std::cos(0.2f * i)); });
    files.slice("waves.dat", size, data.orgnvectField2d);
    const std::string field = files.path("waves.dat").toStdString();
    FtleField core;
    ASSERT_TRUE(core.compute(size, data.orgnvectField2d.data(), {4.5f, 3.0f, true, 2, 1}));
    const std::vector<std::string> options = {"--time",     "4.5",          "--duration", "3",
                                              "--backward", "--resolution", "2"};
    std::vector<std::string> words = {"ftle", field, files.path("f.csv").toStdString()};
    words.insert(words.end(), options.begin(), options.end());
    ASSERT_EQ(batch(words), 0);
    std::istringstream rows(files.bytes("f.csv"));
    std::string header;
    std::getline(rows, header);
    EXPECT_EQ(header, "x,y,ftle");
    float x = 0, y = 0, v = 0;
    char comma;
    std::size_t k = 0;
    for (; rows >> x >> comma >> y >> comma >> v; ++k)
    {
        ASSERT_LT(k, core.values.size());
        EXPECT_EQ(x, core.seedPosition(int(k) % core.seedsX, int(k) / core.seedsX).x) << k;
        EXPECT_EQ(y, core.seedPosition(int(k) % core.seedsX, int(k) / core.seedsX).y) << k;
        EXPECT_EQ(v, core.values[k]) << k;
    }
    EXPECT_EQ(k, core.values.size());

    words[2] = files.path("f.png").toStdString();
    ASSERT_EQ(batch(words), 0);
    const QImage image(files.path("f.png"));
    EXPECT_EQ(image.width(), core.seedsX);
    EXPECT_EQ(image.height(), core.seedsY);
    const FtleColourMap::Range range = FtleColourMap::range(core.values);
    const FtleColourMap::Rgb north = FtleColourMap::colour(
        FtleColourMap::Map::Viridis, core.value(0, core.seedsY - 1), range.low, range.high);
    EXPECT_EQ(image.pixel(0, 0), qRgb(north[0], north[1], north[2]));

    EXPECT_EQ(batch({"ftle", field, "f.csv", "--time", "1", "--duration", "2", "--backward"}), 2);
    EXPECT_EQ(batch({"ftle", field, "f.csv", "--time", "1"}), 2);
}

// Help reads and writes nothing; an unknown option is bad usage; a file that is no field is
// told what it is not; an image's extension is read in any case.
TEST(Batch, CommandLinesAndMessagesSayWhatHappened)
{
    FieldFiles files;
    const auto path = [&](const char* name) { return files.path(name).toStdString(); };
    files.slice("small.dat", {8, 8, 1}, std::vector<float2>(64, makeFloat2(1.0f, 0.5f)));
    files.text("empty.dat", "");
    files.text("text.dat", "these are words, not floats\n");
    std::filesystem::create_directories(files.root / "folder");
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"import", "in.nc", "--slice", "x.dat", "--help"}, 0, "usage: quorvel-batch"},
        {{"lic", "-h"}, 0, "usage: quorvel-batch"},
        {{"render", "--help"}, 0, "usage: quorvel-batch"},
        {{"import", "in.nc", "--bogus"}, 2, "unknown option --bogus"},
        {{"lic", path("small.dat"), "out.gif"}, 2, "not out.gif"},
        {{"critpnt", path("missing.dat")}, 1, "missing.dat: No such file or directory"},
        {{"critpnt", path("folder")}, 1, "folder: Is a directory"},
        {{"critpnt", path("empty.dat")}, 1, "empty.dat: the file is empty"},
        {{"lic", path("text.dat"), path("o.png")}, 1, "text.dat: neither a NetCDF file"},
        {{"lic", path("small.dat"), path("no/o.png")}, 1, "cannot write " + path("no/o.png")},
        {{"lic", path("small.dat"), path("X.PNG"), "--verbose"}, 0, ""}};
    for (const auto& [words, code, message] : cases)
    {
        std::ostringstream out, err;
        EXPECT_EQ(BatchProgram::run(words, out, err), code) << words[1];
        EXPECT_PRED2(mentions, (code ? err : out).str(), message.c_str());
    }
    EXPECT_EQ(files.bytes("X.PNG").substr(1, 3), "PNG");
}

// The import recipes of the README, run as they are written from the repository root on the
// winds.nc the generator writes, give fields the loaders open.
TEST(Batch, ReadmeRecipesRunOnTheGeneratedWinds)
{
    FieldFiles files;
    const std::filesystem::path root = files.root;
    std::filesystem::create_directories(root / "run" / "flow data" / "stdy flow data");
    std::filesystem::create_directory_symlink(QUORVEL_BUILD, root / "build");
    ASSERT_TRUE(DatasetWriter::writeWindsNetcdf(root / "run" / "winds.nc"));
    std::ifstream readme(QUORVEL_README);
    std::string line, script = "set -e\n";
    bool inSection = false, inBlock = false;
    while (std::getline(readme, line))
    {
        if (line.rfind("### ", 0) == 0)
            inSection = line == "### From a NetCDF file to the window";
        else if (line.rfind("```", 0) == 0)
            inBlock = !inBlock;
        else if (inSection && inBlock && line.rfind("cd ", 0) != 0)
            script += line + "\n";
    }
    files.text("recipes.sh", script);
    ASSERT_EQ(std::system(("cd " + root.string() + " && sh recipes.sh 2>&1").c_str()), 0) << script;
    DataManipulate slice("", "", "", "", false);
    ASSERT_TRUE(slice.readVectorDataSlice((root / "mywinds/data/hurricane_z_8.dat").c_str()));
    EXPECT_EQ(slice.flowFieldSize.x, 144);
    EXPECT_EQ(slice.flowFieldSize.z, 12);
    const QString stem = files.path("run/flow data/stdy flow data/winds");
    DataManipulate steady(stem + ".txt", stem + ".dat", "", "", true);
    QString lic;
    ASSERT_TRUE(steady.readVectFile(true, lic));
    // The last month, as the slice holds it.
    EXPECT_EQ(steady.orgnvectField2dSlice[0][40][10], slice.orgnvectField2dSlice[11][40][10]);
}

// The realistic global field rendered with streamlines from a 4 x 4 grid of seeds: at the mark
// size fitted to its width, lines and seed discs change under 15 % of the field's pixels (those
// not white without lines); at 100 % far more.
TEST(Batch, RenderFitsItsMarksToTheField)
{
    FieldFiles files;
    const std::string field = files.path("winds.nc").toStdString();
    writeGlobalWinds(field, 2);
    std::vector<std::string> words = {"render", field, files.path("0.png").toStdString()};
    for (int k = 0; k < 16; ++k)
        words.insert(words.end(), {"--seed", std::to_string(36 * (k % 4) + 18) + "," +
                                                 std::to_string(18.25 * (k / 4) + 9)});
    ASSERT_EQ(batch({words.begin(), words.begin() + 3}), 0);
    words[2] = files.path("1.png").toStdString();
    ASSERT_EQ(batch(words), 0);
    words[2] = files.path("2.png").toStdString();
    words.insert(words.end(), {"--mark-size", "100"});
    ASSERT_EQ(batch(words), 0);
    const QImage frames[] = {QImage(files.path("0.png")), QImage(files.path("1.png")),
                             QImage(files.path("2.png"))};
    double inField = 0, changed[3] = {};
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x)
            if (frames[0].pixel(x, y) != qRgb(255, 255, 255))
            {
                ++inField;
                for (int k : {1, 2})
                    changed[k] += frames[k].pixel(x, y) != frames[0].pixel(x, y);
            }
    EXPECT_LT(changed[1] / inField, 0.15);
    EXPECT_GT(changed[1] / inField, 0.01);
    EXPECT_GT(changed[2], 2 * changed[1]);
}

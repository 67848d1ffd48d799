#include "../data/fieldFiles.h"
#include "batchProgram.h"
#include "critpnt/critpntDetect.h"
#include "datasetWriter.h"
#include "lic/LIC.h"
#include "netcdfFile.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <QImage>
#include <charconv>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

struct Outcome
{
    int code;
    std::string out;
    std::string err;
};

Outcome batch(const std::vector<std::string>& words)
{
    std::ostringstream out, err;
    const int code = BatchProgram::run(words, out, err);
    return Outcome{code, out.str(), err.str()};
}

std::vector<char> bytes(const fs::path& file)
{
    std::vector<char> content(fs::file_size(file));
    std::ifstream(file, std::ios::binary).read(content.data(), std::streamsize(content.size()));
    return content;
}

// The comma-separated fields of every row after the header.
std::vector<std::vector<std::string>> rows(const std::string& csv)
{
    std::vector<std::vector<std::string>> table;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line))
    {
        table.emplace_back();
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            table.back().push_back(field);
    }
    return table;
}

float parsed(const std::string& text)
{
    float value = -1.0f;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::vector<float2> polyline(const float2* points, int count)
{
    return std::vector<float2>(points, points + count);
}
} // namespace

// The jobs give what the core gives the view for the same field, time step and seeds.
TEST(ResultsOut, LicCritpntAndTraceAreTheCoresOwn)
{
    FieldFiles files;
    const std::string field = files.path("hurricane.dat").toStdString();
    ASSERT_TRUE(DatasetWriter::writeHurricaneSlices(field));
    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(data.readVectorDataSlice(field.c_str()));
    int3 size = data.flowFieldSize;

    LIC lic(size);
    std::srand(1);
    lic.GenLICImage(size.x, size.y, data.orgnvectField2dSlice[3][0],
                    files.path("core.ppm").toLocal8Bit().constData());
    const std::vector<char> core = bytes(files.root / "core.ppm");
    EXPECT_EQ(batch({"lic", field, files.path("job.ppm").toStdString(), "--time", "3"}).code, 0);
    EXPECT_EQ(bytes(files.root / "job.ppm"), core);
    EXPECT_EQ(batch({"lic", field, files.path("job.png").toStdString(), "--time", "3"}).code, 0);
    const QImage png(files.path("job.png"));
    ASSERT_EQ(png.height(), size.y);
    const std::size_t header = core.size() - std::size_t(3) * size.x * size.y;
    for (int j = 0; j < size.y; j += 7)
        for (int i = 0; i < size.x; i += 7)
            EXPECT_EQ(qGray(png.pixel(i, size.y - 1 - j)),
                      static_cast<unsigned char>(core[header + 3 * (std::size_t(j) * size.x + i)]));

    CritpntDetect detect;
    detect.genAllCritpntData(data.orgnvectField2dSlice[3], 36.0f, &size);
    const critpntArray& tables = *detect.critpoints;
    std::vector<std::pair<float2, int>> points;
    for (const auto& [table, count, code] : {std::tuple{tables.repFocus, detect.repFocusCnt, 3},
                                             {tables.attrFocus, detect.attrFocusCnt, 2},
                                             {tables.center, detect.centerCnt, 6},
                                             {tables.repNode, detect.repNodeCnt, 1},
                                             {tables.attrNode, detect.attrNodeCnt, 0},
                                             {tables.saddlePnt, detect.saddlePntCnt, 4}})
        for (int k = 0; k < count; ++k)
            points.emplace_back(table[k], code);
    const auto listed = rows(batch({"critpnt", field, "--time", "3"}).out);
    ASSERT_EQ(listed.size(), points.size());
    for (std::size_t k = 0; k < points.size(); ++k)
    {
        EXPECT_EQ(parsed(listed[k][0]), points[k].first.x) << k;
        EXPECT_EQ(parsed(listed[k][1]), points[k].first.y) << k;
        EXPECT_EQ(std::stoi(listed[k][3]), points[k].second) << k;
    }

    // One seed per kind, traced by the core as a click traces it.
    const float2 seed = makeFloat2(250.0f, 250.0f);
    TracedLines lines;
    Tracing streamlines(size, 3);
    float2 start = seed;
    streamlines.strmlTracing(start, size, data.orgnvectField2dSlice.data(), &lines, nullptr,
                             nullptr, 0, lines.currNumpnt);
    const flowlineInfo& strm = lines.streamlineIndxArray[0];
    const std::vector<float2> streamline =
        polyline(&lines.pointArray[strm.startIdx], strm.numPoint + 1);
    Tracing others(size, 0);
    lines.currNumpnt = 0;
    others.pthlTracing(start, others.pthlTraceTimeIntv, 2, float(size.z), size,
                       data.orgnvectField2dSlice.data(), &lines, 0, lines.currNumpnt);
    const flowlineInfo& pthl = lines.pathlineIndxArray[0];
    const std::vector<float2> pathline =
        polyline(&lines.pointArray[pthl.startIdx], pthl.numPoint + 1);
    lines.currNumpnt = 0;
    others.buildStreakline(seed, size, data.orgnvectField2dSlice.data(), &lines);
    const std::vector<float2> streakline =
        polyline(&lines.pointArray[0], lines.streaklineIndxArray[0].numPoint);

    const std::pair<std::vector<std::string>, const std::vector<float2>*> traces[] = {
        {{"--time", "3"}, &streamline},
        {{"--kind", "pathline", "--time", "2"}, &pathline},
        {{"--kind", "streakline"}, &streakline}};
    for (const auto& [options, expected] : traces)
    {
        std::vector<std::string> words = {"trace", field, "--seed", "250,250"};
        words.insert(words.end(), options.begin(), options.end());
        std::vector<float2> traced;
        for (const auto& row : rows(batch(words).out))
            traced.push_back(makeFloat2(parsed(row[2]), parsed(row[3])));
        EXPECT_GT(expected->size(), 10u) << options[1];
        EXPECT_TRUE(traced == *expected) << options[1];
    }
}

// The default scale brings a field to the default field's speeds: the default field itself,
// read as a NetCDF wind, keeps a factor of about 1.
TEST(DefaultScale, OfTheDefaultFieldIsAboutOne)
{
    FieldFiles files;
    DataManipulate data("", "", "", "", false);
    DatasetWriter::fillHurricane(data);
    writeWindNetcdf(files.path("hurricane.nc").toStdString(), data);
    const Outcome imported = batch({"import", files.path("hurricane.nc").toStdString(), "--slice",
                                    files.path("out.dat").toStdString()});
    ASSERT_EQ(imported.code, 0) << imported.err;
    const std::size_t at = imported.err.find("scale: ");
    ASSERT_NE(at, std::string::npos) << imported.err;
    EXPECT_NEAR(std::stod(imported.err.substr(at + 7)), 1.0, 0.01) << imported.err;
}

TEST(ExitCodes, BadInputIsOneBadUsageIsTwo)
{
    FieldFiles files;
    files.slice("small.dat", int3{4, 4, 2}, std::vector<float2>(32, makeFloat2(1.0f, 0.5f)));
    const std::string field = files.path("small.dat").toStdString();
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{}, 2},
        {{"lic", field, "out.gif"}, 2},
        {{"trace", field}, 2},
        {{"critpnt", field, "--time", "2"}, 1},
        {{"critpnt", files.path("missing.dat").toStdString()}, 1},
        {{"render", files.path("text.txt").toStdString(), "out.png"}, 1}};
    for (const auto& [words, code] : cases)
    {
        const Outcome outcome = batch(words);
        EXPECT_EQ(outcome.code, code) << (words.empty() ? "" : words[0]);
        EXPECT_NE(outcome.err.find("quorvel-batch: "), std::string::npos);
    }
}

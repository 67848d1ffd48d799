#include "../data/fieldFiles.h"
#include "batchProgram.h"
#include "common/testFields.h"
#include "datasetWriter.h"
#include "lic/LIC.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace
{
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

std::string bytes(const QString& file)
{
    std::ifstream in(file.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The comma-separated numbers of every row after the header.
std::vector<std::vector<float>> rows(const std::string& csv)
{
    std::vector<std::vector<float>> table;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line))
    {
        table.emplace_back();
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            table.back().push_back(std::strtof(field.c_str(), nullptr));
    }
    return table;
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
    float2*** slices = data.orgnvectField2dSlice.data();

    std::srand(1);
    LIC(size).GenLICImage(size.x, size.y, slices[3][0], files.path("core.ppm").toUtf8().data());
    EXPECT_EQ(batch({"lic", field, files.path("job.ppm").toStdString(), "--time", "3"}).code, 0);
    EXPECT_EQ(bytes(files.path("job.ppm")), bytes(files.path("core.ppm")));
    // PNG rows run from the top: the field's last row comes first.
    EXPECT_EQ(batch({"lic", field, files.path("job.png").toStdString(), "--time", "3"}).code, 0);
    const QImage png(files.path("job.png"));
    ASSERT_EQ(png.height(), size.y);
    const std::string ppm = bytes(files.path("core.ppm"));
    const std::size_t lastRow = ppm.size() - std::size_t(3) * size.x;
    for (int i = 0; i < size.x; i += 7)
        EXPECT_EQ(qGray(png.pixel(i, 0)), static_cast<unsigned char>(ppm[lastRow + 3 * i])) << i;

    CritpntDetect detect;
    detect.genAllCritpntData(slices[3], 36.0f, &size);
    const int codes[] = {3, 2, 6, 1, 0, 4}; // per type in display order
    std::vector<std::vector<float>> points;
    const auto byType = pointsByType(detect);
    for (int type = 0; type < 6; ++type)
        for (const float2& p : byType[type])
            points.push_back({p.x, p.y, float(codes[type])});
    const auto listed = rows(batch({"critpnt", field, "--time", "3"}).out);
    ASSERT_EQ(listed.size(), points.size());
    for (std::size_t k = 0; k < points.size(); ++k)
    {
        EXPECT_EQ(listed[k][0], points[k][0]) << k;
        EXPECT_EQ(listed[k][1], points[k][1]) << k;
        EXPECT_EQ(listed[k][3], points[k][2]) << k;
    }

    // One seed per kind, traced by the core as a click traces it.
    TracedLines lines;
    float2 seed = makeFloat2(250.0f, 250.0f);
    Tracing(size, 3).strmlTracing(seed, size, slices, &lines, nullptr, nullptr, 0,
                                  lines.currNumpnt);
    const std::vector<float2> streamline(&lines.pointArray[0],
                                         &lines.pointArray[lines.currNumpnt]);
    Tracing others(size, 0);
    lines.currNumpnt = 0;
    others.pthlTracing(seed, others.pthlTraceTimeIntv, 2, float(size.z), size, slices, &lines, 0,
                       lines.currNumpnt);
    const std::vector<float2> pathline(&lines.pointArray[0], &lines.pointArray[lines.currNumpnt]);
    lines.currNumpnt = 0;
    others.buildStreakline(seed, size, slices, &lines);
    const std::vector<float2> streakline(&lines.pointArray[0],
                                         &lines.pointArray[lines.currNumpnt]);
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
            traced.push_back(makeFloat2(row[2], row[3]));
        EXPECT_GT(expected->size(), 10u) << options[1];
        EXPECT_EQ(traced, *expected) << options[1];
    }
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

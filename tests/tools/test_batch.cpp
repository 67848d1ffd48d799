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
// Runs a command; returns its exit code, what it printed and what it reported.
int batch(const std::vector<std::string>& words, std::string* out = nullptr,
          std::string* err = nullptr)
{
    std::ostringstream o, e;
    const int code = BatchProgram::run(words, o, e);
    if (out)
        *out = o.str();
    if (err)
        *err = e.str();
    return code;
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
    const std::string ppm = files.bytes("core.ppm");
    for (const char* name : {"job.ppm", "job.png"})
        EXPECT_EQ(batch({"lic", field, files.path(name).toStdString(), "--time", "3"}), 0);
    EXPECT_EQ(files.bytes("job.ppm"), ppm);
    // PNG rows run from the top: the field's last row comes first.
    const QImage png(files.path("job.png"));
    ASSERT_EQ(png.height(), size.y);
    for (int i = 0; i < size.x; i += 7)
        EXPECT_EQ(qGray(png.pixel(i, 0)),
                  static_cast<unsigned char>(ppm[ppm.size() - 3 * std::size_t(size.x - i)]));

    CritpntDetect detect;
    detect.genAllCritpntData(slices[3], 36.0f, &size);
    const float codes[] = {3, 2, 6, 1, 0, 4}; // per type in display order
    std::string out;
    batch({"critpnt", field, "--time", "3"}, &out);
    const auto listed = rows(out);
    std::size_t k = 0;
    const auto byType = pointsByType(detect);
    for (int type = 0; type < 6; ++type)
        for (const float2& p : byType[type])
        {
            ASSERT_LT(k, listed.size());
            EXPECT_EQ(listed[k][0], p.x) << k;
            EXPECT_EQ(listed[k][1], p.y) << k;
            EXPECT_EQ(listed[k++][3], codes[type]) << k;
        }
    EXPECT_EQ(k, listed.size());

    // A seed traced by the core as a click traces it.
    TracedLines lines;
    Tracing(size, 3).strmlTracing(makeFloat2(250, 250), size, slices, &lines, nullptr, nullptr, 0,
                                  0);
    batch({"trace", field, "--seed", "250,250", "--time", "3"}, &out);
    std::vector<float2> traced;
    for (const auto& row : rows(out))
        traced.push_back(makeFloat2(row[2], row[3]));
    EXPECT_GT(lines.currNumpnt, 10);
    EXPECT_EQ(traced,
              std::vector<float2>(&lines.pointArray[0], &lines.pointArray[lines.currNumpnt]));
}

TEST(ExitCodes, BadInputIsOneBadUsageIsTwo)
{
    FieldFiles files;
    files.slice("small.dat", int3{4, 4, 2}, std::vector<float2>(32, makeFloat2(1.0f, 0.5f)));
    const std::string field = files.path("small.dat").toStdString();
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{}, 2},
        {{"lic", field, "out.gif"}, 2},
        {{"critpnt", field, "--time", "2"}, 1},
        {{"critpnt", files.path("missing.dat").toStdString()}, 1},
        {{"render", files.path("text.txt").toStdString(), "out.png"}, 1}};
    for (const auto& [words, code] : cases)
    {
        std::string err;
        EXPECT_EQ(batch(words, nullptr, &err), code) << (words.empty() ? "" : words[0]);
        EXPECT_PRED2(mentions, err, "quorvel-batch: ");
    }
}

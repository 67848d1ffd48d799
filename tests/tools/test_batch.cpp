#include "../data/fieldFiles.h"
#include "batchProgram.h"
#include "common/testFields.h"
#include "lic/LIC.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

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
    DataManipulate data = rotationField(int3{64, 48, 2}, 30.0f, 20.0f, 0.05f);
    const int3 size = data.flowFieldSize;
    files.slice("spin.dat", size, data.orgnvectField2d);
    const std::string field = files.path("spin.dat").toStdString();
    float2*** slices = data.orgnvectField2dSlice.data();

    std::srand(1);
    LIC(size).GenLICImage(size.x, size.y, slices[1][0], files.path("core.ppm").toUtf8().data());
    EXPECT_EQ(batch({"lic", field, files.path("job.ppm").toStdString(), "--time", "1"}), 0);
    EXPECT_EQ(files.bytes("job.ppm"), files.bytes("core.ppm"));

    TracedLines lines;
    float2 seed = makeFloat2(40.0f, 20.0f);
    Tracing(size, 1).strmlTracing(seed, size, slices, &lines, nullptr, nullptr, 0,
                                  lines.currNumpnt);
    std::string csv;
    EXPECT_EQ(batch({"trace", field, "--seed", "40,20", "--time", "1"}, &csv), 0);
    std::istringstream rows(csv);
    rows.ignore(64, '\n'); // line,point,x,y
    float v[4] = {};
    int k = 0;
    for (char comma; rows >> v[0] >> comma >> v[1] >> comma >> v[2] >> comma >> v[3]; ++k)
    {
        ASSERT_LT(k, lines.currNumpnt);
        EXPECT_EQ(v[2], lines.pointArray[k].x) << k;
        EXPECT_EQ(v[3], lines.pointArray[k].y) << k;
    }
    EXPECT_EQ(k, lines.currNumpnt);

    const std::pair<std::vector<std::string>, int> codes[] = {
        {{"lic", field, "out.gif"}, 2},
        {{"critpnt", field, "--time", "2"}, 1},
        {{"critpnt", files.path("missing.dat").toStdString()}, 1}};
    for (const auto& [words, code] : codes)
        EXPECT_EQ(batch(words), code) << words[0] << ' ' << words.size();
}

#include "data/dataManipulate.h"
#include "data/fieldWriter.h"
#include "fieldFiles.h"

#include <gtest/gtest.h>

namespace
{
struct WrittenFormat
{
    FieldWriter::Format format;
    const char* target;
    int3 size;
    int depth;
};

void PrintTo(const WrittenFormat& written, std::ostream* out)
{
    *out << written.target;
}

class FieldWriting : public ::testing::TestWithParam<WrittenFormat>
{
};

// The loader reads what the writer wrote; for a series, its last level.
bool load(const FieldFiles& files, const WrittenFormat& written, DataManipulate& data)
{
    QString lic;
    if (written.format == FieldWriter::Format::Slice)
        return data.readVectorDataSlice(files.path("field.dat").toLocal8Bit().constData());
    const bool steady = written.format == FieldWriter::Format::Steady;
    data =
        DataManipulate(files.path("field.txt"), files.path("field.dat"),
                       files.path("series/header.txt"), files.path("series/Uf/Uf01.dat"), steady);
    data.uiUnstdySlicId = written.depth - 1;
    return data.readVectFile(steady, lic);
}
} // namespace

TEST_P(FieldWriting, CompleteFieldsLoadAndIncompleteOnesLeaveNothing)
{
    const WrittenFormat written = GetParam();
    FieldFiles files;
    const int3 size = written.size;
    const int n = size.x * size.y * written.depth;
    std::vector<float2> step(n);
    {
        FieldWriter writer(written.format, files.root / written.target, size, written.depth);
        for (int t = 0; t < size.z; ++t)
        {
            for (int k = 0; k < n; ++k)
                step[k] = makeFloat2(float(100 * t + k), float(-k));
            EXPECT_TRUE(writer.writeStep(step.data()));
        }
        EXPECT_TRUE(writer.commit()) << writer.error();
    }
    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(load(files, written, data));
    ASSERT_EQ(data.flowFieldSize.z, size.z);
    const int level = (written.depth - 1) * size.x * size.y;
    for (int t = 0; t < size.z; ++t)
        for (int k = 0; k < size.x * size.y; ++k)
        {
            EXPECT_EQ(data.orgnvectField2dSlice[t][0][k].x, float(100 * t + level + k));
            EXPECT_EQ(data.orgnvectField2dSlice[t][0][k].y, float(-(level + k)));
        }

    FieldFiles fresh;
    {
        FieldWriter writer(written.format, fresh.root / written.target,
                           {size.x, size.y, size.z + 1}, written.depth);
        for (int t = 0; t < size.z && written.format != FieldWriter::Format::Steady; ++t)
            writer.writeStep(step.data());
        EXPECT_FALSE(writer.commit());
        EXPECT_NE(writer.error().find(written.target), std::string::npos) << writer.error();
    }
    EXPECT_TRUE(std::filesystem::is_empty(fresh.root));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FieldWriting,
    ::testing::Values(WrittenFormat{FieldWriter::Format::Steady, "field", {3, 2, 1}, 1},
                      WrittenFormat{FieldWriter::Format::Unsteady, "series", {3, 2, 2}, 2},
                      WrittenFormat{FieldWriter::Format::Slice, "field.dat", {3, 2, 2}, 1}));

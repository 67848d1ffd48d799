#include "data/fieldWriter.h"
#include "fieldFiles.h"

#include <gtest/gtest.h>

// Complete fields are loaded back by the generator's tests; here a field one step short of what
// was announced is refused and leaves nothing behind, in each format.
TEST(FieldWriting, IncompleteFieldsLeaveNoFile)
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
        EXPECT_TRUE(std::filesystem::is_empty(files.root)) << target;
    }
}

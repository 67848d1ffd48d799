#include "critpnt/critpntDetect.h"
#include "critpntFields.h"

#include <gtest/gtest.h>

TEST(CellSearch, UniformFieldHasNoCandidates)
{
    DataManipulate data = sampledField(8, 6, [](float, float) { return makeFloat2(1, -2); });
    CritpntDetect detect;
    detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
    EXPECT_EQ(detect.allPntCnt, 0);
}

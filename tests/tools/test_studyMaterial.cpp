#include "../data/fieldFiles.h"
#include "common/testFields.h"
#include "exam/normalisedPosition.h"
#include "exam/questionBank.h"
#include "studyMaterial.h"

#include <cmath>

namespace
{
// Distance in normalised units from pos to the nearest of the points.
float nearest(const std::vector<float2>& points, float2 pos, int size)
{
    float best = 1e9f;
    for (const float2& p : points)
    {
        const float2 n = normalisedFromField(p, {size, size, 1});
        best = std::min(best, std::hypot(n.x - pos.x, n.y - pos.y));
    }
    return best;
}

// The detector's points per type in a study data set, loaded as the study host loads it: the
// path names a steady pair by its stem.
std::vector<std::vector<float2>> pointsIn(const FieldFiles& files, const std::string& stem,
                                          int size)
{
    DataManipulate data(files.path(stem + ".txt"), files.path(stem + ".dat"), "", "", true);
    QString lic;
    EXPECT_TRUE(data.readVectFile(true, lic));
    EXPECT_EQ(data.flowFieldSize.x, size);
    EXPECT_EQ(data.flowFieldSize.y, size);
    CritpntDetect detect;
    detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
    return pointsByType(detect);
}
} // namespace

// Each classification point has the answered type and no point of another type competes for
// its circle; a participant who finds any repelling node or saddle has found the answer.
TEST(StudyMaterial, CriticalPointAnswersMatchTheDataSets)
{
    FieldFiles files;
    ASSERT_TRUE(StudyMaterial::write(files.root / "exam"));
    const int classifySize = StudyMaterial::kClassifySize;
    const auto classify = pointsIn(files, "exam/hurricane_z49_t0", classifySize);
    for (const CpClassifyQuestion& q : cpClassifyQuestions)
    {
        EXPECT_STREQ(q.dataPath, "./exam/hurricane_z49_t0");
        for (int type = ANS_STATEMENT_A; type <= ANS_STATEMENT_F; ++type)
        {
            const float d = nearest(classify[type], q.pointToClassify, classifySize);
            if (type == q.correctAnswer)
                EXPECT_LT(d, 0.004f) << cpNames[type] << " at " << q.pointToClassify.x;
            else
                EXPECT_GT(d, 0.04f) << cpNames[type] << " near " << q.pointToClassify.x;
        }
    }
    const auto locate = pointsIn(files, "exam/syn0001_100", StudyMaterial::kLocateSize);
    ASSERT_EQ(locate[ANS_STATEMENT_D].size(), 1u);
    ASSERT_EQ(locate[ANS_STATEMENT_F].size(), 1u);
    EXPECT_LT(nearest(locate[ANS_STATEMENT_D], cpLocateQuestions[0].correctAnswer, 100), 0.01f);
    EXPECT_LT(nearest(locate[ANS_STATEMENT_F], cpLocateQuestions[1].correctAnswer, 100), 0.01f);
}

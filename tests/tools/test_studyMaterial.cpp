#include "critpnt/critpntDetect.h"
#include "data/dataManipulate.h"
#include "exam/normalisedPosition.h"
#include "exam/questionBank.h"
#include "studyMaterial.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// The detector's table for each classification answer, in the order of the answer labels.
std::vector<float2> pointsOfAnswer(const CritpntDetect& d, AnswerType answer)
{
    const critpntArray& a = *d.critpoints;
    const std::pair<const float2*, int> tables[] = {
        {a.repFocus, d.repFocusCnt}, {a.attrFocus, d.attrFocusCnt}, {a.center, d.centerCnt},
        {a.repNode, d.repNodeCnt},   {a.attrNode, d.attrNodeCnt},   {a.saddlePnt, d.saddlePntCnt}};
    const auto& [points, count] = tables[answer];
    return {points, points + count};
}

// Distance in normalised units from pos to the nearest point of the list.
float nearest(const std::vector<float2>& points, float2 pos, int3 size)
{
    float best = 1e9f;
    for (const float2& p : points)
    {
        const float2 n = normalisedFromField(p, size);
        best = std::min(best, std::hypot(n.x - pos.x, n.y - pos.y));
    }
    return best;
}

class StudyMaterialFiles : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::random_device device;
        root = fs::temp_directory_path() / ("quorvel-study-" + std::to_string(device()));
        ASSERT_TRUE(StudyMaterial::write(root / "exam"));
    }
    static void TearDownTestSuite() { fs::remove_all(root); }

    // Loads a data set the way the study host does: the path names a steady pair by its stem.
    static DataManipulate load(const char* stem)
    {
        const QString base = QString::fromStdString((root / "exam" / stem).string());
        DataManipulate data(base + ".txt", base + ".dat", "", "", true);
        QString lic;
        EXPECT_TRUE(data.readVectFile(true, lic));
        return data;
    }

    static CritpntDetect detect(DataManipulate& data)
    {
        CritpntDetect detector;
        detector.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
        return detector;
    }

    static fs::path root;
};
fs::path StudyMaterialFiles::root;
} // namespace

TEST_F(StudyMaterialFiles, ClassificationPointsHaveTheAnsweredTypes)
{
    DataManipulate data = load("hurricane_z49_t0");
    ASSERT_EQ(data.flowFieldSize.x, StudyMaterial::kClassifySize);
    ASSERT_EQ(data.flowFieldSize.y, StudyMaterial::kClassifySize);
    const CritpntDetect detector = detect(data);
    for (const CpClassifyQuestion& q : cpClassifyQuestions)
    {
        EXPECT_STREQ(q.dataPath, "./exam/hurricane_z49_t0");
        EXPECT_LT(nearest(pointsOfAnswer(detector, q.correctAnswer), q.pointToClassify,
                          data.flowFieldSize),
                  0.004f)
            << cpNames[q.correctAnswer] << " at " << q.pointToClassify.x << ", "
            << q.pointToClassify.y;
        // No point of another type competes for the circle.
        for (int other = ANS_STATEMENT_A; other <= ANS_STATEMENT_F; ++other)
        {
            if (other == q.correctAnswer)
                continue;
            EXPECT_GT(nearest(pointsOfAnswer(detector, AnswerType(other)), q.pointToClassify,
                              data.flowFieldSize),
                      0.04f)
                << cpNames[other] << " near " << q.pointToClassify.x << ", " << q.pointToClassify.y;
        }
    }
}

TEST_F(StudyMaterialFiles, LocationAnswersAreTheOnlyRepellingNodeAndSaddle)
{
    DataManipulate data = load("syn0001_100");
    ASSERT_EQ(data.flowFieldSize.x, StudyMaterial::kLocateSize);
    const CritpntDetect detector = detect(data);
    const float2 node = cpLocateQuestions[0].correctAnswer;
    const float2 saddle = cpLocateQuestions[1].correctAnswer;
    // A participant who finds any repelling node or saddle has found the answer.
    EXPECT_EQ(detector.repNodeCnt, 1);
    EXPECT_EQ(detector.saddlePntCnt, 1);
    EXPECT_LT(nearest(pointsOfAnswer(detector, ANS_STATEMENT_D), node, data.flowFieldSize), 0.01f);
    EXPECT_LT(nearest(pointsOfAnswer(detector, ANS_STATEMENT_F), saddle, data.flowFieldSize),
              0.01f);
}

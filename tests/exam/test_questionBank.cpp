// Every question of the bank can be answered right: its answer is one of its statements. Where
// the classified and located points lie is checked against the study material.
#include "common/testFields.h"
#include "exam/normalisedPosition.h"
#include "exam/questionBank.h"
#include "studyMaterial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

TEST(QuestionBank, AnswersAreAmongTheStatements)
{
    for (const Question& q : textImageQuestions)
    {
        SCOPED_TRACE(q.question);
        EXPECT_LT(q.correctAnswer, q.numStatement);
        for (int i = 0; i < q.numStatement; ++i)
            EXPECT_GT(std::strlen(q.statements[i]), 0u);
    }
    for (const CpClassifyQuestion& q : cpClassifyQuestions)
        EXPECT_LT(int(q.correctAnswer), int(std::size(cpNames)));
}

// The detector reads each classified or located point of the study material as the answer
// says; answers count in the order of the detector's type tables.
TEST(QuestionBank, StudyMaterialShowsTheAnswers)
{
    const SyntheticFlow classify = StudyMaterial::classifyFlow();
    const struct
    {
        int size;
        std::function<float2(double, double)> flow;
        std::vector<std::pair<float2, int>> answers;
    } sets[] = {
        {StudyMaterial::kClassifySize,
         [&](double x, double y) { return classify.velocity(x, y); },
         {}},
        {StudyMaterial::kLocateSize,
         StudyMaterial::locateVelocity,
         {{cpLocateQuestions[0].correctAnswer, 3}, {cpLocateQuestions[1].correctAnswer, 5}}}};
    std::vector<std::pair<float2, int>> classified;
    for (const CpClassifyQuestion& q : cpClassifyQuestions)
        classified.emplace_back(q.pointToClassify, int(q.correctAnswer));
    for (const auto& set : sets)
    {
        const int3 size{set.size, set.size, 1};
        DataManipulate data = makeField(size, [&](int i, int j, int) { return set.flow(i, j); });
        CritpntDetect detect;
        detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
        const auto byType = pointsByType(detect);
        for (const auto& [answer, type] : set.answers.empty() ? classified : set.answers)
        {
            SCOPED_TRACE(testing::Message() << answer.x << ", " << answer.y);
            const auto& points = byType[std::size_t(type)];
            const bool bShown = std::any_of(points.begin(), points.end(),
                                            [&](const float2& p)
                                            {
                                                const float2 n = normalisedFromField(p, size);
                                                return std::fabs(n.x - answer.x) < 0.005f &&
                                                       std::fabs(n.y - answer.y) < 0.005f;
                                            });
            EXPECT_TRUE(bShown);
        }
    }
}

// Every question of the bank can be answered right: its answer is one of its statements. Where
// the classified and located points lie is checked against the study material.
#include "exam/questionBank.h"

#include <gtest/gtest.h>

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

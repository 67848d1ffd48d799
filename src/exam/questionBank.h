// The study's 18 questions in their fixed order: ten text or image questions, six critical
// point classifications and two critical point locations, with the answer and grade codes
// that the quiz records. Positions are field coordinates normalised to 0..1 on both axes.
#pragma once

#include "common/typeOperations.h"

// Index of the chosen statement; stored and written as an int.
enum AnswerType
{
    ANS_STATEMENT_A = 0,
    ANS_STATEMENT_B = 1,
    ANS_STATEMENT_C = 2,
    ANS_STATEMENT_D = 3,
    ANS_STATEMENT_E = 4,
    ANS_STATEMENT_F = 5,
    ANS_NO_ANSWER = 6
};

// Stored and written as an int.
enum GradeType
{
    GRADE_WRONG = 0,
    GRADE_CORRECT = 1,
    GRADE_NOT_ANSWERED = 2
};

// A text question, or an image question whose statements are image file paths.
struct Question
{
    int numStatement;
    AnswerType correctAnswer;
    char question[512];
    char statements[6][512];
};

struct CpClassifyQuestion
{
    char dataPath[512];
    char question[512];
    float2 pointToClassify;
    AnswerType correctAnswer; // index into cpNames
};

struct CpLocateQuestion
{
    char dataPath[512];
    char question[512];
    float2 correctAnswer;
};

constexpr int kNumTextImageQuestions = 10;
constexpr int kNumCpClassifyQuestions = 6;
constexpr int kNumCpLocateQuestions = 2;
constexpr int kNumQuestions =
    kNumTextImageQuestions + kNumCpClassifyQuestions + kNumCpLocateQuestions;
// Ids 0 to 6 are text questions, 7 to 9 image questions, 10 to 15 classifications and
// 16, 17 locations.
constexpr int kFirstImageQid = 7;
constexpr int kFirstCpClassifyQid = kNumTextImageQuestions;
constexpr int kFirstCpLocateQid = kFirstCpClassifyQid + kNumCpClassifyQuestions;

extern const Question textImageQuestions[kNumTextImageQuestions];
extern const CpClassifyQuestion cpClassifyQuestions[kNumCpClassifyQuestions];
extern const CpLocateQuestion cpLocateQuestions[kNumCpLocateQuestions];
extern const char cpNames[6][32];

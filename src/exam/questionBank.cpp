#include "questionBank.h"

#define FIELD_LINE_DEFINITION_QUESTION(definition)                                                 \
    "Please tell which type is the field-line described as \n\"" definition "\"."
#define FOUR_FIELD_LINE_KINDS                                                                      \
    {                                                                                              \
        "Streamline", "Pathline", "Streakline", "Timeline"                                         \
    }

#define CP_CLASSIFY_DATA "./exam/hurricane_z49_t0"
#define CP_CLASSIFY_TEXT                                                                           \
    "Please select the type of\ncritical point highlighted\nin the red circle.\n(Click two "       \
    "points to\ntrace streamlines.)"
#define CP_LOCATE_DATA "./exam/syn0001_100"
#define CP_LOCATE_HOW                                                                              \
    "(Right click to confirm\nthe location. Left click\ntwo points to trace\nstreamlines.)"

const Question textImageQuestions[kNumTextImageQuestions] = {
    {2,
     ANS_STATEMENT_A,
     "Please select the one that does not exist in steady flow.",
     {"Timeline", "Streamline"}},
    {2,
     ANS_STATEMENT_B,
     "Please select the one that fits into the concept of streakline best.",
     {"The trajectory of a ball in the flowing water.",
      "The curve formed by oil particles dripping from a tap drifted in a stream for a while."}},
    {4, ANS_STATEMENT_B,
     FIELD_LINE_DEFINITION_QUESTION(
         "The trajectory of an individual element of fluid as function of time"),
     FOUR_FIELD_LINE_KINDS},
    {4, ANS_STATEMENT_C,
     FIELD_LINE_DEFINITION_QUESTION(
         "The locus of all fluid elements that have previously passed through \na given point"),
     FOUR_FIELD_LINE_KINDS},
    {4, ANS_STATEMENT_A,
     FIELD_LINE_DEFINITION_QUESTION(
         "A continuous line within a fluid such that the tangent at each point \nis the direction "
         "of the velocity vector at that point"),
     FOUR_FIELD_LINE_KINDS},
    {4, ANS_STATEMENT_D,
     FIELD_LINE_DEFINITION_QUESTION(
         "Set of fluid packets that form a line at some instant in time"),
     FOUR_FIELD_LINE_KINDS},
    {4, ANS_STATEMENT_A, "The LIC image depicts the pattern of:", FOUR_FIELD_LINE_KINDS},
    {2,
     ANS_STATEMENT_B,
     "Please select the image in which the red field-line could be a streamline.",
     {"./exam/1-1.png", "./exam/1-2.jpg"}},
    {2,
     ANS_STATEMENT_A,
     "Please select the image in which the red field-line is a timeline.",
     {"./exam/2-2.gif", "./exam/2-1.gif"}},
    {2,
     ANS_STATEMENT_B,
     "Please select the image in which the red field-line is a streakline.",
     {"./exam/3-1.gif", "./exam/3-2.gif"}},
};

const CpClassifyQuestion cpClassifyQuestions[kNumCpClassifyQuestions] = {
    {CP_CLASSIFY_DATA, CP_CLASSIFY_TEXT, {0.768f, 0.568f}, ANS_STATEMENT_B},
    {CP_CLASSIFY_DATA, CP_CLASSIFY_TEXT, {0.638f, 0.433f}, ANS_STATEMENT_F},
    {CP_CLASSIFY_DATA, CP_CLASSIFY_TEXT, {0.57f, 0.91f}, ANS_STATEMENT_A},
    {CP_CLASSIFY_DATA, CP_CLASSIFY_TEXT, {0.0375f, 0.9575f}, ANS_STATEMENT_B},
    {CP_CLASSIFY_DATA, CP_CLASSIFY_TEXT, {0.311f, 0.879f}, ANS_STATEMENT_F},
    {CP_CLASSIFY_DATA, CP_CLASSIFY_TEXT, {0.811f, 0.961f}, ANS_STATEMENT_F},
};

const CpLocateQuestion cpLocateQuestions[kNumCpLocateQuestions] = {
    {CP_LOCATE_DATA,
     "Please locate a repelling\nnode in the data.\n" CP_LOCATE_HOW,
     {0.6712f, 0.375f}},
    {CP_LOCATE_DATA,
     "Please locate a saddle\npoint in the data.\n" CP_LOCATE_HOW,
     {0.1462f, 0.3825f}},
};

const char cpNames[6][32] = {"Repelling Focus", "Attracting Foucs", "Center",
                             "Repelling Node",  "Attracting Node",  "Saddle Point"};

#undef FIELD_LINE_DEFINITION_QUESTION
#undef FOUR_FIELD_LINE_KINDS
#undef CP_CLASSIFY_DATA
#undef CP_CLASSIFY_TEXT
#undef CP_LOCATE_DATA
#undef CP_LOCATE_HOW

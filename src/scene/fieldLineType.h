// The kinds of field-line, and of comparison between two kinds, that the view can show; the
// animation draws its flowlets after this choice.
#pragma once

enum FieldLineType
{
    FLT_STREAMLINE = 0,
    FLT_PATHLINE = 1,
    FLT_STREAKLINE = 2,
    FLT_TIMELINE = 3,
    FLT_PATHLINE_TIMELINE = 4,
    FLT_STREAMLINE_STREAKLINE = 5,
    FLT_PATHLINE_STREAKLINE = 6,
    FLT_TYPE_NUM = 7
};

// One frame of the flowlet animation as a list of bands: which stretches of the traced lines
// are drawn, in which colour and fading, with or without an arrowhead, for the frame counter
// and a kind of field-line. Building a frame advances the counter as the frame does.
#pragma once

#include "common/typeOperations.h"
#include "scene/fieldLineType.h"

#include <vector>

class TracedLines;

struct FlowletBand
{
    float2* points; // first point of the band
    int numPoint;
    float4 color;
    float fading; // alpha increment per segment, 0 for none
    bool bArrow;
    bool bDiscs; // a disc at every point instead of a band
};

class FlowletFrame
{
public:
    static constexpr int kPeriod = 60;         // points between the heads on a streamline
    static constexpr int kLength = 30;         // segments behind a head
    static constexpr int kArrowMinPoints = 26; // a shorter flowlet at a line's end has no head
    static constexpr int kMaxPathlines = 1000; // pathlines taking part in a comparison curve
    static constexpr int kComparisonStride = 5;
    static constexpr int kComparisonDelay = 10; // frames between releases of compared pathlines

    FlowletFrame();

    // Collects the bands of the next frame of lines and advances animStep as the frame does.
    // Returns the time step the frame shows, or -1 for the kinds that do not step in time.
    int build(TracedLines& lines, FieldLineType lineType, int& animStep, float pthlTraceTimeIntv,
              int numTimeSteps, int dispTimeId);

    const std::vector<FlowletBand>& bands() const { return frameBands; }

private:
    void buildStreamlines(TracedLines& lines, int& animStep);
    void buildStreaklines(TracedLines& lines);
    int buildPathlines(TracedLines& lines, FieldLineType lineType, int& animStep,
                       float pthlTraceTimeIntv, int numTimeSteps, int dispTimeId);
    void buildPathlineTimeline(TracedLines& lines, int step);
    void buildPathlineStreakline(TracedLines& lines, int step);
    void buildPathlineFlowlets(TracedLines& lines, int step, int stride, int delay);
    void buildTimeline(TracedLines& lines, int timeId);
    void add(float2* points, int numPoint, const float4& color, float fading, bool bArrow,
             bool bDiscs = false);

    std::vector<float2> tmpPoints; // one point per pathline, for the comparison curves
    std::vector<FlowletBand> frameBands;
};

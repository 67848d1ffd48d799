// The flow view of the study host: loads a steady data set named by its stem, traces rake
// streamlines from two left clicks, circles a normalised position in red and reports a
// right click inside the field as a confirmed location, normalised to 0..1.
#pragma once

#include "view/flowView.h"

class StudyView : public FlowView
{
    Q_OBJECT

public:
    StudyView(QWidget* parent, int viewSize);

    // Reads <stem>.txt and <stem>.dat. False, with the view unchanged, when the pair is
    // missing or holds no usable field.
    bool loadSteadyDataSet(const QString& stem);
    // Positions outside 0..1 hide the circle.
    void setCircle(float2 normalised);
    float2 circle() const { return circlePos; }

    static constexpr float kCircleRadius = 0.04f; // of the field width

signals:
    void locationConfirmed(float2 normalised);

protected:
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool fieldPosition(const QMouseEvent* event, float2& normalised);

    float2 circlePos{-1.0f, -1.0f};
};

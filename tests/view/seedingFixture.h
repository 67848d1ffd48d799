// Helpers for the seeding, line and slot tests: clicks and mouse moves at field positions of a
// view over the field of a WorkingField.
#pragma once

#include "tracing/tracedLines.h"
#include "tracing/tracing.h"
#include "viewFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <cmath>

// The window pixel (y down) over field point (x, y) for the view's current camera.
inline QPoint pixelAt(const FlowView& view, float x, float y)
{
    const float left = float(view.translateX - view.translateZ);
    const float bottom = float(view.translateY - view.translateZ);
    const float span = 2.0f * view.translateZ;
    return QPoint(int(std::lround((x - left) / span * view.winWidth)),
                  int(std::lround(view.winHeight - (y - bottom) / span * view.winHeight)));
}

inline void click(FlowView& view, float x, float y, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(&view, button, Qt::NoModifier, pixelAt(view, x, y));
}

inline void moveTo(FlowView& view, float x, float y)
{
    const QPointF local = pixelAt(view, x, y);
    QMouseEvent event(QEvent::MouseMove, local, view.mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

inline bool near(const float2& a, float x, float y, float tolerance = 1e-3f)
{
    return std::fabs(a.x - x) <= tolerance && std::fabs(a.y - y) <= tolerance;
}

// The critical point tracks of the flow view: the tracks through every time step of the
// field, drawn as thin polylines in the colours of their types, with the pairs' births as
// hollow circles, their deaths as crosses and the shown step's points ringed.
#include "view/flowView.h"

#include "critpnt/critpntTracker.h"

#include <GL/gl.h>
#include <QApplication>
#include <algorithm>
#include <cmath>

namespace
{
constexpr float kTrackWidth = 1.5f;
constexpr int kRingPoints = 24;
constexpr float kFullTurn = 6.2831853f;

void ring(const float2& c, float radius)
{
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k < kRingPoints; ++k)
    {
        const float a = kFullTurn * float(k) / kRingPoints;
        glVertex2f(c.x + radius * std::cos(a), c.y + radius * std::sin(a));
    }
    glEnd();
}

void cross(const float2& c, float half)
{
    glBegin(GL_LINES);
    glVertex2f(c.x - half, c.y - half);
    glVertex2f(c.x + half, c.y + half);
    glVertex2f(c.x - half, c.y + half);
    glVertex2f(c.x + half, c.y - half);
    glEnd();
}
} // namespace

void FlowView::on_view_toggleTracks(int state)
{
    bTracks = state != 0;
    if (bTracks)
        computeTracks();
    invalidate();
    repaint();
}

// All steps at once, on the GUI thread: on the default field that takes a fraction of a second,
// too short for a worker thread to be worth its hand-over.
void FlowView::computeTracks()
{
    critpntTracker.tracks.clear();
    critpntTracker.events.clear();
    if (!hasField())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A short file may hold fewer steps than its header says; only loaded ones are tracked.
    const int3 size = dataMani->flowFieldSize;
    const int steps = std::min(size.z, int(dataMani->orgnvectField2dSlice.size()));
    critpntTracker.track(dataMani->orgnvectField2dSlice.data(), size, 0, steps - 1);
    QApplication::restoreOverrideCursor();
}

void FlowView::drwCritpntTracks()
{
    if (!bTracks)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glLineWidth(kTrackWidth);
    const float radius = markerRadius();
    COLOR color{};
    for (const critpntTrack& track : critpntTracker.tracks)
    {
        // Each segment takes the type of the point it leaves, so the colour changes where the
        // type does.
        for (std::size_t k = 0; k + 1 < track.points.size(); ++k)
            if (critpntTypeStyle(track.points[k].type, color))
            {
                glColor4f(color.r, color.g, color.b, 1.0f);
                glBegin(GL_LINES);
                glVertex2f(track.points[k].pos.x, track.points[k].pos.y);
                glVertex2f(track.points[k + 1].pos.x, track.points[k + 1].pos.y);
                glEnd();
            }
        const int current = critpntTimeId - track.points.front().step;
        if (current >= 0 && current < int(track.points.size()) &&
            critpntTypeStyle(track.points[current].type, color))
        {
            // At the rim of the point's glow, where the glow has faded.
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            ring(track.points[current].pos, CritpntShapes::kDiscRadius * markScale);
        }
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (const trackEvent& e : critpntTracker.events)
    {
        if (e.kind == TEK_TYPE_CHANGE)
            continue;
        // A pair shows while either of its two types is ticked, as it was where it met.
        const auto typeThere = [&](int id)
        {
            const critpntTrack& track = critpntTracker.tracks[id];
            return (e.kind == TEK_BIRTH ? track.points.front() : track.points.back()).type;
        };
        const bool bShown = critpntTypeStyle(typeThere(e.track), color) ||
                            critpntTypeStyle(typeThere(e.partner), color);
        if (bShown && e.kind == TEK_BIRTH)
            ring(e.pos, 1.5f * radius);
        else if (bShown)
            cross(e.pos, 1.5f * radius);
    }
    glPopAttrib();
}

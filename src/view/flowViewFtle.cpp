// The FTLE background of the flow view: computed off the GUI thread from the confirmed time
// step over the chosen duration, forward, backward or both, and drawn over the field like the
// LIC image or multiplied into it, with a colour bar in the view's lower right corner.
#include "view/flowView.h"

#include "common/printLine.h"
#include "ftle/ftleColourMap.h"
#include "view/ftleWorker.h"

#include <GL/gl.h>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <string>

namespace
{
constexpr int kProgressPeriod = 100; // ms between progress reports
constexpr int kBarWidth = 150;
constexpr int kBarHeight = 12;

// The range a map spans: from 0, as ridges are the positive values (negative ones, which
// compress in every direction, take the lower end), to the 99th percentile, so that a few
// extreme seeds, such as those at the border that cannot move, do not wash the ridges out.
FtleColourMap::Range shownRange(const FtleField& field)
{
    std::vector<float> finite;
    finite.reserve(field.values.size());
    for (const float v : field.values)
        if (std::isfinite(v))
            finite.push_back(v);
    if (finite.empty())
        return {0.0f, 0.0f};
    const auto top = finite.begin() + std::ptrdiff_t(0.99 * double(finite.size() - 1));
    std::nth_element(finite.begin(), top, finite.end());
    return {0.0f, std::max(*top, 0.0f)};
}

std::vector<FtleSettings> requestsFor(int mode, int startStep, int duration, int steps,
                                      int tracingStep)
{
    std::vector<FtleSettings> runs;
    // Each direction takes what it can of the duration within the field's steps; a steady
    // field holds for all time and takes all of it.
    const bool steady = steps == 1;
    const int forward = steady ? duration : std::min(duration, steps - 1 - startStep);
    const int backward = steady ? duration : std::min(duration, startStep);
    if ((mode == FlowView::kFtleForward || mode == FlowView::kFtleBoth) && forward > 0)
        runs.push_back({float(startStep), float(forward), false, 1, tracingStep});
    if ((mode == FlowView::kFtleBackward || mode == FlowView::kFtleBoth) && backward > 0)
        runs.push_back({float(startStep), float(backward), true, 1, tracingStep});
    return runs;
}

// Why the request cannot be drawn, empty when it can: the first run the core refuses or, when
// every direction asked was left out for want of steps, the direction asked over its full
// duration.
std::string refusalOf(int3 size, const std::vector<FtleSettings>& runs, int mode, int startStep,
                      int duration, int tracingStep)
{
    for (const FtleSettings& run : runs)
        if (std::string why = FtleField::refusal(size, run); !why.empty())
            return why;
    if (!runs.empty() || mode == FlowView::kFtleOff)
        return {};
    const bool backward = mode == FlowView::kFtleBackward;
    return FtleField::refusal(size, {float(startStep), float(duration), backward, 1, tracingStep});
}
} // namespace

void FlowView::setUpFtle()
{
    ftleWorker = new FtleWorker(this);
    connect(ftleWorker, &FtleWorker::finished, this, &FlowView::takeFtle);
    ftleProgressTimer = new QTimer(this);
    ftleProgressTimer->setInterval(kProgressPeriod);
    connect(ftleProgressTimer, &QTimer::timeout, this,
            [this] { emit view_ftle_progress_msg(ftleWorker->percentDone()); });
    ftleColourBar = new QLabel(this);
    ftleColourBar->setAttribute(Qt::WA_TransparentForMouseEvents);
    ftleColourBar->hide();
}

void FlowView::on_view_changeFtleMode(int mode)
{
    ftleMode = std::clamp(mode, int(kFtleOff), int(kFtleBoth));
    requestFtle();
}

void FlowView::on_view_changeFtleDuration(int steps)
{
    uiFtleDuration = std::max(steps, 1);
    if (ftleMode != kFtleOff)
        requestFtle();
}

void FlowView::on_view_toggleFtleMultiply(int state)
{
    bFtleMultiply = state != 0;
    repaint();
}

// Also forgets what was asked, so the next frame asks again for the field as it is then.
void FlowView::stopFtle()
{
    ftleWorker->cancel();
    ftleRequestKey = {};
    ftleProgressTimer->stop();
    emit view_ftle_progress_msg(-1);
}

// Cancels what runs and starts what the mode, duration and time step ask for; the shown image
// stays until the new one is ready.
void FlowView::requestFtle()
{
    stopFtle();
    ftleRequestKey = {reinterpret_cast<std::intptr_t>(dataMani.get()), uiTimeId};
    const int3 size = hasField() ? dataMani->flowFieldSize : int3{};
    std::vector<FtleSettings> runs;
    std::string refusal;
    if (hasField())
    {
        runs = requestsFor(ftleMode, uiTimeId, uiFtleDuration, size.z, uiIntvTracStp);
        refusal = refusalOf(size, runs, ftleMode, uiTimeId, uiFtleDuration, uiIntvTracStp);
    }
    if (!refusal.empty())
        printLine("%s", refusal.c_str()); // reaches the window's hint line
    if (runs.empty() || !refusal.empty())
    {
        bFtleShown = false;
        ftleColourBar->hide();
        repaint();
        return;
    }
    ftleRunsForward = !runs.front().bBackward;
    ftleWorker->request(size, dataMani->orgnvectField2d.data(), runs);
    ftleProgressTimer->start();
    emit view_ftle_progress_msg(0);
}

// A new field or time step asks again; called once per frame.
void FlowView::followFtle()
{
    const std::array<long long, 2> key = {reinterpret_cast<std::intptr_t>(dataMani.get()),
                                          uiTimeId};
    if (ftleMode != kFtleOff && key != ftleRequestKey)
        requestFtle();
}

void FlowView::takeFtle()
{
    ftleProgressTimer->stop();
    emit view_ftle_progress_msg(-1);
    const std::vector<FtleField> fields = ftleWorker->takeResults();
    if (fields.empty())
        return;
    const bool both = fields.size() == 2;
    const FtleField& first = fields.front();
    if (first.values.empty() || (both && fields[1].values.empty()))
        return;
    // One field through viridis; both as the product of a red (forward) and a blue (backward)
    // map, so where they meet the ridges turn dark purple.
    const FtleColourMap::Range r0 = shownRange(first);
    const FtleColourMap::Range r1 = both ? shownRange(fields[1]) : r0;
    std::vector<unsigned char> rgb(3 * first.values.size());
    for (std::size_t k = 0; k < first.values.size(); ++k)
    {
        if (!both)
        {
            const auto c = FtleColourMap::colour(FtleColourMap::Map::Viridis, first.values[k],
                                                 r0.low, r0.high);
            std::copy(c.begin(), c.end(), rgb.begin() + 3 * k);
            continue;
        }
        const auto a =
            FtleColourMap::colour(FtleColourMap::Map::Reds, first.values[k], r0.low, r0.high);
        const auto b =
            FtleColourMap::colour(FtleColourMap::Map::Blues, fields[1].values[k], r1.low, r1.high);
        for (int c = 0; c < 3; ++c)
            rgb[3 * k + c] = static_cast<unsigned char>(a[c] * b[c] / 255);
    }
    if (uploadRgbTexture(texFtle, first.seedsX, first.seedsY, rgb.data()))
        bFtleShown = true;
    showFtleColourBar(both, r0, r1);
    repaint();
}

void FlowView::drwFtleImage()
{
    if (!bFtleShown || ftleMode == kFtleOff || texFtle == 0)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    if (bFtleMultiply)
    {
        // Colour times what lies below: the LIC streaks stay visible through it.
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
    }
    else
        glDisable(GL_BLEND);
    drawFieldTexture(texFtle);
    glPopAttrib();
}

// The colour bar: one strip per direction with its range, in a corner of the view.
void FlowView::showFtleColourBar(bool both, FtleColourMap::Range r0, FtleColourMap::Range r1)
{
    const int rows = both ? 2 : 1;
    QPixmap bar(kBarWidth + 12, rows * (kBarHeight + 18) + 4);
    bar.fill(QColor(255, 255, 255, 220));
    QPainter painter(&bar);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (int row = 0; row < rows; ++row)
    {
        const bool backward = both ? row == 1 : !ftleRunsForward;
        const FtleColourMap::Map map = !both      ? FtleColourMap::Map::Viridis
                                       : backward ? FtleColourMap::Map::Blues
                                                  : FtleColourMap::Map::Reds;
        const FtleColourMap::Range r = row == 0 ? r0 : r1;
        const int y = 2 + row * (kBarHeight + 18);
        painter.setPen(Qt::black);
        painter.drawText(QRect(6, y, kBarWidth, 12), Qt::AlignLeft,
                         backward ? tr("FTLE backward") : tr("FTLE forward"));
        for (int x = 0; x < kBarWidth; ++x)
        {
            const auto c = FtleColourMap::colour(map, float(x) / float(kBarWidth - 1));
            painter.setPen(QColor(c[0], c[1], c[2]));
            painter.drawLine(6 + x, y + 12, 6 + x, y + 12 + kBarHeight / 2);
        }
        painter.setPen(Qt::black);
        painter.drawText(QRect(6, y + 12 + kBarHeight / 2, kBarWidth, 12), Qt::AlignLeft,
                         QString::number(r.low, 'g', 3));
        painter.drawText(QRect(6, y + 12 + kBarHeight / 2, kBarWidth, 12), Qt::AlignRight,
                         QString::number(r.high, 'g', 3));
    }
    painter.end();
    ftleColourBar->setPixmap(bar);
    ftleColourBar->setGeometry(width() - bar.width() - 6, height() - bar.height() - 6, bar.width(),
                               bar.height());
    ftleColourBar->show();
}

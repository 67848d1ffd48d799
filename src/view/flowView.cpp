#include "view/flowView.h"

#include "common/fieldFit.h"
#include "common/printLine.h"
#include "view/ftleWorker.h"
#include "view/shadingTextures.h"

#include <GL/glu.h>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cstdint>

namespace
{

const char* const kDefaultSliceFile = "./data/hurricane_z_8.dat";

} // namespace

FlowView::FlowView(QWidget* parent, int viewW, int viewH)
    : QOpenGLWidget(parent), DrawState(), winWidth(viewW), winHeight(viewH)
{
    setFormat(surfaceFormat());
    iTimer = new QTimer(this);
    connect(iTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    criticalpntDetect = std::make_unique<CritpntDetect>();
    tmpLines = std::make_unique<TracedLines>();
    commitedLines = std::make_unique<TracedLines>();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    setUpFtle();
    resetView();
}

FlowView::~FlowView()
{
    // The worker reads the field, which goes before the worker does.
    ftleWorker->cancel();
    cleanup();
}

QSurfaceFormat FlowView::surfaceFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setSamples(4);
    return format;
}

void FlowView::resetToDefaultField()
{
    stopFtle();
    dataMani = std::make_unique<DataManipulate>(stdyHdrPth, stdyDatPth, unstdyHdrPth, unstdyDatPth,
                                                tabStdyEnable);
    // The loader says why it could not load the file; the view goes on with an empty field.
    if (!dataMani->readVectorDataSlice(kDefaultSliceFile))
        printLine("The view starts without a field");
    const int3 size = dataMani->flowFieldSize;
    trace = std::make_unique<Tracing>(size, uiTimelDispTimeId);
    trace->uiIntvTracStp = uiIntvTracStp;
    trace->bMulti = bRake || bUnif || bRand;
    licImage = std::make_unique<LIC>(size);
    fieldLoaded();
}

// Everything that follows the loaded field's size: camera, LIC resolution, land, time steps.
void FlowView::fieldLoaded()
{
    const int3 size = dataMani->flowFieldSize;
    fitCamera();
    halfviewW = size.x * 0.5f;
    halfviewH = size.y * 0.5f;
    licImage->pixelsPerCell = FieldFit::licPixelsPerCell(size.x, size.y);
    landBlock = nullptr;
    bLandTexture = false;
    invalidate();
    emit view_field_steps_msg(size.z);
}

// A square field gets the camera it always had: its lower-left corner at the view's.
void FlowView::fitCamera()
{
    const int3 size = dataMani->flowFieldSize;
    translateX = static_cast<int>(size.x * 0.5f);
    translateY = static_cast<int>(size.y * 0.5f);
    translateZ = static_cast<int>(std::max(size.x, size.y) * 0.5f);
}

void FlowView::initializeGL()
{
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &FlowView::cleanup);
    glViewport(0, 0, winWidth, winHeight);
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    loadCamera();
    tex = ShadingTextures::upload(ShadingTextures::tubeImage());
    texpnt = ShadingTextures::upload(ShadingTextures::discImage());
    glEnable(GL_MULTISAMPLE);
}

// The textures die with the context: on destruction of the view or when a new parent
// window gives it a new context (initializeGL then makes them again).
void FlowView::cleanup()
{
    if (!context())
        return;
    disconnect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &FlowView::cleanup);
    if (!tex && !texpnt)
        return;
    makeCurrent();
    frameCache.release();
    const GLuint names[] = {tex, texpnt, texLic, texLicHisto, texLand, texFtle};
    glDeleteTextures(6, names);
    tex = texpnt = texLic = texLicHisto = texLand = texFtle = 0;
    bLandTexture = false;
    bFtleShown = false;
    doneCurrent();
}

void FlowView::resizeGL(int w, int h)
{
    glViewport(0, 0, w, h);
    loadCamera();
}

// A 90-degree perspective looking straight down at the field plane: the view shows the
// square of half-width translateZ around (translateX, translateY).
void FlowView::loadCamera()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 0.1, 100000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(translateX, translateY, translateZ, translateX, translateY, 0.0, 0.0, 1.0, 0.0);
}

void FlowView::setUpFrame()
{
    glViewport(0, 0, winWidth, winHeight);
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    loadCamera();
    glEnable(GL_MULTISAMPLE);
}

// Layers, bottom to top: the field-area backdrop, the LIC background, the field-lines (static
// lines and committed lines, or the flowlets), the critical points with their template
// streamlines, and the rake's seed discs. Everything below the frame's first moving part is
// kept and only drawn again when what it shows has changed. A flowlet frame draws each line's
// track and then its arrows, line by line, so the tracks are drawn again in every frame.
void FlowView::paintGL()
{
    beginFrame();
    setUpFrame();
    doAntialias();
    const QSize size = QSize(width(), height()) * devicePixelRatioF();
    const FrameCache::Key key = stillLayersKey();
    if (!bFrameCache || !frameCache.restore(key, defaultFramebufferObject(), size))
    {
        drawStillLayers();
        if (bFrameCache)
            frameCache.store(key, defaultFramebufferObject(), size);
    }
    drawMovingLayers();
    endFrame();
}

void FlowView::drawStillLayers()
{
    bTimelineShown = false;
    drwZoomfrm();
    drwLICImage();
    drwFtleImage();
    drwNoData();
    const FieldLineLayer lines = fieldLineLayer();
    if (lines == FieldLineLayer::Flowlets)
        return;
    if (lines == FieldLineLayer::Still)
    {
        drwFieldLines();
        drwCommitedLines();
    }
    drwCritpntTracks();
    if (critpntLinesMove())
        return;
    drwCritpntLines();
    drwCritpntDiscs();
}

void FlowView::drawMovingLayers()
{
    followFtle();
    const FieldLineLayer lines = fieldLineLayer();
    if (lines == FieldLineLayer::Flowlets)
        drawFlowletAnimation(tmpLines.get(), flowletLineType(), bLICBk);
    if (lines == FieldLineLayer::Still)
        advanceTimeline();
    // The background shows the step the critical points were found in, from the next frame.
    if (bCritpntDetect && tabUnstdyEnable)
        showLIC(critpntTimeId);
    if (lines == FieldLineLayer::Flowlets || critpntLinesMove())
    {
        drwCritpntLines();
        drwCritpntDiscs();
    }
    drwRakeMarkers();
}

void FlowView::invalidate()
{
    ++contentGeneration;
}

// The state the kept layers are drawn from: the drawing state whole, the sizes, and what the
// frame draws from the owned objects; contents that change within the same state count through
// invalidate().
FrameCache::Key FlowView::stillLayersKey() const
{
    const int3 size = dataMani->flowFieldSize;
    const TracedLines& lines = *tmpLines;
    const long long values[] = {contentGeneration,
                                winWidth,
                                winHeight,
                                reinterpret_cast<std::intptr_t>(dataMani.get()),
                                size.x,
                                size.y,
                                size.z,
                                reinterpret_cast<std::intptr_t>(trace.get()),
                                trace->numRakeSeeds,
                                tex,
                                texpnt,
                                texLic,
                                texLicHisto,
                                lines.currNumpnt,
                                lines.streamlineNum,
                                lines.pathlineNum,
                                lines.streaklineNum,
                                lines.timelineNum,
                                commitedLines->currNumpnt,
                                commitedLines->streamlineNum};
    FrameCache::Key key(std::begin(values), std::end(values));
    const std::vector<unsigned char> state = DrawState::bytes();
    key.insert(key.end(), state.begin(), state.end());
    return key;
}

// While a rake is being placed its seeds follow the mouse as blue discs.
void FlowView::drwRakeMarkers()
{
    if (bFirstSeed)
        return;
    glColor3f(0.0f, 0.0f, 1.0f);
    const int numSeeds = std::min(trace->numRakeSeeds, Tracing::kMaxRakeSeeds);
    for (int i = 0; i < numSeeds; ++i)
        drawCircle(trace->rakeSeeds[i], 10, markerRadius());
}

void FlowView::doAntialias()
{
    if (bAntiali)
        glEnable(GL_LINE_SMOOTH);
    else
        glDisable(GL_LINE_SMOOTH);
}

void FlowView::on_toggleAntialias(int state)
{
    bAntiali = state != 0;
    repaint();
}

void FlowView::on_view_changeMarkSize(int percent)
{
    markScale = percent / 100.0f;
    repaint();
}

void FlowView::normalize(float2& vec)
{
    BandBuilder::normalize(vec);
}

float2 FlowView::mapMouseCoortoFlowCoor(float2& pos)
{
    const int3 size = dataMani->flowFieldSize;
    float2 t = makeFloat2(pos.x * (static_cast<float>(size.x) / winWidth),
                          pos.y * (static_cast<float>(size.y) / winHeight));
    mapMouseCoor(t, static_cast<float>(translateX), static_cast<float>(translateY),
                 static_cast<float>(translateZ));
    return t;
}

void FlowView::mapMouseCoor(float2& pos, float camX, float camY, float camZ)
{
    pos.x = (pos.x / halfviewW - 1.0f) * camZ + camX;
    pos.y = (pos.y / halfviewH - 1.0f) * camZ + camY;
}

float2 FlowView::windowPos(const QMouseEvent* event) const
{
    const QPointF p = event->position();
    return makeFloat2(static_cast<float>(p.x()), static_cast<float>(winHeight - p.y()));
}

// Zoom: one usual wheel notch moves the eye by 12 field units; the eye never goes below the
// field plane.
void FlowView::wheelEvent(QWheelEvent* event)
{
    const int v = static_cast<int>(translateZ + event->angleDelta().y() / 10.0);
    translateZ = v >= 0 ? v : 1;
    repaint();
}

void FlowView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_R)
        fitCamera();
    repaint();
}

// Without a field there is nothing to map a press to: the press is ignored.
void FlowView::mousePressEvent(QMouseEvent* event)
{
    if (!hasField())
        return;
    pressedCoor = windowPos(event);
    seedPos = mapMouseCoortoFlowCoor(pressedCoor);
    bAttachSavedImg = false;
    seedFromPress(event->button());
    if (event->button() == Qt::MiddleButton)
        QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    repaint();
}

void FlowView::mouseMoveEvent(QMouseEvent* event)
{
    const float2 p = windowPos(event);
    emit displayMouseCoor(makeInt2(static_cast<int>(p.x), static_cast<int>(p.y)));
    followRakeEnd(p);
}

// Pan: the field follows the drag, applied once on release.
void FlowView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!hasField() || event->button() != Qt::MiddleButton)
        return;
    float2 p = windowPos(event);
    const float2 r = mapMouseCoortoFlowCoor(p);
    translateX = static_cast<int>(seedPos.x - r.x + translateX);
    translateY = static_cast<int>(seedPos.y - r.y + translateY);
    QGuiApplication::restoreOverrideCursor();
    repaint();
}

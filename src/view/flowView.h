// The OpenGL view of the flow field: it owns the loaded field, the tracer, the traced-line
// stores, the critical point detector and the LIC generator, keeps every display and seeding
// flag the control panel sets, and draws the field-lines as shaded bands over the field. The
// layers that stay the same from frame to frame are kept between frames.
#pragma once

#include "common/typeOperations.h"
#include "critpnt/critpntDetect.h"
#include "critpnt/critpntTracker.h"
#include "data/dataManipulate.h"
#include "data/noDataMask.h"
#include "ftle/ftleColourMap.h"
#include "lic/LIC.h"
#include "netcdf/fieldOpener.h"
#include "scene/bandBuilder.h"
#include "scene/critpntShapes.h"
#include "scene/fieldLineType.h"
#include "scene/flowletFrame.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"
#include "view/drawState.h"
#include "view/frameCache.h"

#include <QOpenGLWidget>
#include <QPixmap>
#include <QString>
#include <QSurfaceFormat>
#include <QTimer>
#include <array>
#include <memory>
#include <qopengl.h>

class FtleWorker;
class QLabel;

class FlowView : public QOpenGLWidget, public DrawState
{
    Q_OBJECT

public:
    FlowView(QWidget* parent, int viewW, int viewH);
    ~FlowView() override;

    // What the FTLE background shows.
    static constexpr int kFtleOff = 0;
    static constexpr int kFtleForward = 1;
    static constexpr int kFtleBackward = 2;
    static constexpr int kFtleBoth = 3;

    // The context every view needs: fixed-function GL with multisampling. main and the tests
    // install it as the default before any widget exists.
    static QSurfaceFormat surfaceFormat();

    // (Re)creates field, tracer and LIC generator for the current paths and centres the camera;
    // a file the user opened is read again in place of the default slice file.
    void resetView();
    // Opens any field file the tool reads in place of the current field. On success message
    // holds the loader's notes; on failure it holds why, and everything stays as it was.
    bool openField(const QString& path, const FieldOpener::Options& options, QString& message);
    // The file a reset reloads; empty while the default data or a tab's data set is shown.
    const QString& openedFile() const { return openedPath; }
    // The whole field in view, centred, its longer side filling the view.
    void fitCamera();
    // False when the default slice file was missing or refused: there is nothing to map to.
    bool hasField() const { return dataMani && dataMani->hasField(); }

    // To be called whenever what the frame draws changes without a change of the view's flags,
    // camera or sizes: traced lines, detected points, textures, a loaded field. The next frame
    // then draws every layer again.
    void invalidate();
    // Off, every frame draws all its layers; for comparisons and measurements.
    bool bFrameCache = true;
    // Frames that started from the kept layers.
    int framesFromCache() const { return frameCache.restoredFrames(); }

    // Window pixels (x right, y up from the bottom edge) to field coordinates.
    float2 mapMouseCoortoFlowCoor(float2& pos);
    void mapMouseCoor(float2& pos, float camX, float camY, float camZ);
    void doAntialias();
    // Divides vec by its length in place; a zero vector is left unchanged.
    void normalize(float2& vec);

    // Frame composition.
    void drwZoomfrm();
    void drawVectors(DataManipulate* field, const int2& drawSize, const float& scale,
                     const bool& willNormalize);

    // Drawing primitives, in field coordinates in the plane z = 0.
    void drawLineTexture(float2* points, const int& numPoint, const float& radius,
                         const int& padding, const float4& color, const float& fading,
                         const bool& bArrow);
    void drawLine(float2* points, int numPoint, const float& radius, const int& padding,
                  float4 color, float fading, const bool& bArrow);
    void drawCircle(float2 point, const int& resolution, const float& radius);
    void drawPlainCircle(const float2& point, const float& radius);
    // Band half-width and seed disc radius after the mark scale.
    float lineRadius() const { return flowlineRadius * markScale; }
    float markerRadius() const { return (flowlineRadius + flowSeedRadius) * markScale; }

    // LIC background. Images pass through PPM files; texID is the generator's texImageName or
    // texHistoImageName. getTexture returns false, keeping the texture, when the file cannot
    // be read.
    bool getTexture(const char* imageFileName, Image* tempimage, int texID);
    void attachLICBkImg(int texID);
    void drwLICImage();
    // A texture over the field's rectangle.
    void drawFieldTexture(GLuint name);
    void showLIC();
    void showLIC(int timeId);
    void showLICOrHisto();

    // No-data samples (land, gaps) of the shown time step, drawn in kLandColor over the LIC.
    static constexpr unsigned char kLandColor[3] = {194, 178, 128}; // sand
    const NoDataMask& shownNoData();
    void drwNoData();

    // Mouse seeding and tracing control.
    void reTraceFlowlines();
    void doPthlPthtimelTracing(int flagPthlOnly);
    void doStrklTracing();
    void clearFlowData();

    // Field-line drawing from tmpLines (committed lines from commitedLines).
    void drwSingleStrml(int strmPthStrkFlag, bool animationEnable, int prevLines);
    void drwRakeStrml(int prevSeedNum, int numRakeSeeds, float2* rakeSeeds, bool bStrml);
    void drwStrkl(bool animationEnable);
    void drwTimel(int numSeeds, int timeId);
    void drwMultiSlicePthl(int numLines);
    void drwCommitedLines();
    // Critical point display. The template streamlines are streamlines 0 ... N - 1 of tmpLines,
    // one per template seed, in blocks per type in the order of the detector's seed tables.
    void genAllCritpntData();
    void traceCriticalpntTmpltSeeds();
    void clearCritpntData();
    void drwCritpnts(CritpntDetect* criticalpntDetect);
    void drwOneTypeCritpnts(float2* critpntData, int numPoints, COLOR& circleColor);
    void circleCritPnt(float2* pos1, COLOR& circleColor);
    void drwCritpntTmpltSeeds(CritpntDetect* criticalpntDetect);
    void drwCriticalpntTmpltStrml();
    void drawCriticalpntTmpltStrmlet();
    void drawCriticalStrmletAnimation(TracedLines* lines, int prevLine, int lineCnt);
    // Critical point tracks through all time steps; drawn for the ticked types only.
    void computeTracks();
    void drwCritpntTracks();
    // The display colour of a type code, and whether its check box is ticked.
    bool critpntTypeStyle(int code, COLOR& color) const;

    // Animation and flowlets.
    void controlSingleFlowlineAnim();
    void autoTimeIdChange();
    void drawFlowletAnimation(TracedLines* lines, FieldLineType lineType, const bool& showLicImage);
    // The flowlet kind for the field-line flags; FLT_TYPE_NUM when streaklines alone are on.
    FieldLineType flowletLineType() const;
    // Restarts the animation timer with the new period at once.
    void onAnimationSpeedChanged(int newValue);

    // Screenshots of the view's own framebuffer, and the LIC image series.
    void saveScreenshot(int timeId);
    void saveLIC(int timeId);
    QString screenshotPath(int timeId) const;
    void LICSeriesScreenShot();

    bool tabStdyEnable = false;
    bool tabUnstdyEnable = true;
    GLuint tex = 0;
    GLuint texpnt = 0;
    QString stdyHdrPth = "./flow data/stdy flow data/earthquake_100.txt";
    QString stdyDatPth = "./flow data/stdy flow data/earthquake_100.dat";
    QString unstdyHdrPth = "D:/quorvel_v1.8/flow data/unsteady flow data/header.txt";
    QString unstdyDatPth = "D:/quorvel_v1.8/flow data/unsteady flow data/Uf/Uf01.dat";
    QString stdyLicImg = "./flow data/stdy flow data/";
    std::unique_ptr<DataManipulate> dataMani;
    std::unique_ptr<Tracing> trace;
    std::unique_ptr<TracedLines> tmpLines;
    std::unique_ptr<TracedLines> commitedLines;
    std::unique_ptr<LIC> licImage;
    int winWidth;
    int winHeight;
    float2 pressedCoor{0, 0};
    float2 seedPos{0, 0};
    float halfviewW = 0;
    float halfviewH = 0;
    bool bSaveAnimation = false;
    int uiSpeedAnimation = 10;
    int animStep = 0;
    int prevTimeid = -1;
    QTimer* iTimer = nullptr; // child of the view
    int viewCntAnimPTl = 0;
    int viewCntAnimSingleFlowline = 1;
    QPixmap originalPixmap;
    int prevLicImageId = -1; // time step whose image showLIC(int) loaded last
    GLuint texLic = 0;       // the plain and the equalised LIC texture, 0 until first loaded
    GLuint texLicHisto = 0;
    GLuint texLand = 0; // the no-data samples of landBlock, 0 until a step has any
    std::unique_ptr<CritpntDetect> criticalpntDetect;
    bool bFirstComputeCritpnt = true;
    CritpntTracker critpntTracker;
    int uiTimeId = 0;
    int uiRakeSeedNum = 10;
    int uiRandSeedNum = 30;
    int uiUnifSeedXNum = 4;
    int uiUnifSeedYNum = 4;
    int uiIntvTracStp = 1;
    int uiFtleDuration = 10; // time steps
    GLuint texFtle = 0;

signals:
    void displayMouseCoor(int2 mousecoor);
    void view_pass_ptlineanimid_msg(int timeId);
    void view_enable_animation_msg(int state);
    void view_enable_lic_msg(int state);
    void reset_cntAnimStrmStrkPathl_msg();
    // A file was dropped on the view.
    void view_fileDropped_msg(QString path);
    // A tab's data set was loaded: its number of depth slices (0 for a steady field) and the
    // slice shown, from 1.
    void view_dataSetLoaded_msg(int depth, int slice);
    // The loaded field's time steps, after every load that can change them.
    void view_field_steps_msg(int steps);
    // A sentence for the hint line: why a request did nothing.
    void view_hint_msg(const QString& text);
    // Percent of the FTLE computation done; -1 when none runs.
    void view_ftle_progress_msg(int percent);

public slots:
    void on_toggleAntialias(int state);
    // Mark size in percent of the drawn sizes; redraws.
    void on_view_changeMarkSize(int percent);
    void on_view_toggleLICBk(int state);
    void on_view_toggleLICHisto(int state);
    // FTLE background: kFtleOff ... kFtleBoth, the duration in time steps, and whether it is
    // multiplied into the LIC image instead of drawn over it.
    void on_view_changeFtleMode(int mode);
    void on_view_changeFtleDuration(int steps);
    void on_view_toggleFtleMultiply(int state);
    void on_view_saveScreenPPM();
    void on_view_saveAnimation(int state);
    void on_view_controlPtlineanim(int cntAnimPTl);
    void on_view_controlSingleFlowlineAnim(int cntAnimSingleFlowline);
    void on_view_changeAnimSpeed(int value);
    void on_view_tubeLines(int state);
    void on_view_flowlet(int state);
    void on_view_toggleRepFocus(int state);
    void on_view_toggleAttrFocus(int state);
    void on_view_toggleCenter(int state);
    void on_view_toggleRepNode(int state);
    void on_view_toggleAttrNode(int state);
    void on_view_toggleSaddlePnt(int state);
    void on_view_toggleCriticalPntStrml(int state);
    // Tracks over every time step, computed when switched on.
    void on_view_toggleTracks(int state);

    // Seeding, field-line kind, tracing, time step and data-set slots.
    void on_view_clrAllData();
    void on_view_pbAttach();
    void on_view_btnconfirmStdyFile();
    void on_view_btnconfirmUnstdyFile();
    void on_updateStdyDataDir(QString hdrPath, QString vecPath);
    // vecPath2 is the other component's file of the pair the user picked.
    void on_updateUnstdyDataDir(QString hdrPath, QString vecPath, QString vecPath2 = QString());
    void on_view_toggleSglPntSeeding(int state);
    void on_view_toggleRakeSeeding(int state);
    void on_view_modifRakeNumSeed(int value);
    void on_view_toggleUnifSeeding(int state);
    void on_view_modifUniNumSeedX(QString unifSeedXNum);
    void on_view_modifUniNumSeedY(QString unifSeedYNum);
    void on_view_toggleRandomSeeding(int state);
    void on_view_modifRanNumSeed(QString randSeedNum);
    void on_view_toggleRbtnSiglLine(int state);
    void on_view_toggleRbtnMultiLine(int state);
    void on_view_toggleStrmline(int state);
    void on_view_togglePthline(int state);
    void on_view_toggleTimeline(int state);
    void on_view_toggleStrkline(int state);
    void on_view_togglePthTimeComp(int state);
    void on_view_toggleStrmStrkComp(int state);
    void on_view_togglePthStrkComp(int state);
    void on_view_changeUnstdyInterTimeSel(int value);
    void on_view_confirmTimeId();
    void on_view_changeTracingStpIntv(int intval);
    void on_view_changeDistCtrlSli(int value);
    void on_view_toggleDistCtrl(int state);
    void on_view_changeStrklSliceIntv(float sliceIntv);
    void on_view_changeUnstdySlice(int value);
    void on_view_confirmUnstdySliceID();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Window position of a mouse event with y measured upwards from the bottom edge.
    float2 windowPos(const QMouseEvent* event) const;
    void setUpFrame();
    // The frame's layers: those below its first moving part, kept between frames, and the rest.
    void drawStillLayers();
    void drawMovingLayers();
    FrameCache::Key stillLayersKey() const;
    void drwRakeMarkers();
    void loadCamera();
    void cleanup();
    void drawBand(const std::vector<BandVertex>& verts, GLenum mode);
    bool hasLicField(int timeId) const;
    GLuint& licTexture(int texID);
    // Loads w x h RGB bytes into the texture name (made when 0); false without a GL context.
    bool uploadRgbTexture(GLuint& name, int w, int h, const void* rgb);
    void toggleCritpntType(bool& bType, int state);
    void detectCritpnts(int timeId);
    // Template lines (or their moving streamlets while the flowlet animation runs) and the
    // discs drawn over them.
    void drwCritpntLines();
    void drwCritpntDiscs();
    bool critpntLinesMove() const;

    // Seeding half of the mouse handlers and the re-trace dispatch.
    void seedFromPress(Qt::MouseButton button);
    void followRakeEnd(float2 windowPos);
    void traceCurrentKind();
    // The tracer's seed count, bounded by its seed array.
    int rakeSeedCount() const;
    static int seedCountFor(long long requested);

    // Field-line layer of a frame: static lines, flowlets or nothing.
    enum class FieldLineLayer
    {
        Nothing,
        Still,
        Flowlets
    };
    FieldLineLayer fieldLineLayer() const;
    bool anyFieldLineType() const;
    void drwFieldLines();
    // A shown timeline's frame saving and time-step advance, once per frame.
    void advanceTimeline();
    bool bTimelineShown = false; // the static field-lines, when last drawn, held a timeline
    void drawMarker(const float2& p);
    void drawFlowline(const flowlineInfo& rec, int numPoints, const float4& color);
    static int flowlinePointCount(const flowlineInfo& rec);

    // Slot steps.
    bool switchFieldLine(bool& flag, int state);
    void announceControls(int animationState, int licState);
    bool dataSetFilesPresent(bool steady) const;
    void adoptLoadedFieldSize();
    // The default slice file, or an empty field when it is missing or refused.
    void resetToDefaultField();
    // Loads the steady or unsteady data set of the tabs' paths in place of the current field.
    void loadDataSet(bool steady);
    // A tab's data set read into a new field, or nothing (after saying why) when refused.
    std::unique_ptr<DataManipulate> readDataSet(bool steady);
    // Puts a newly loaded field in place of the current one: lines cleared, tracer, LIC and
    // camera made for it, its LIC images kept under licFolder, critical points found again.
    void installField(std::unique_ptr<DataManipulate> data, const QString& licFolder);
    void redetectCritpnts();
    std::unique_ptr<DataManipulate> readOpenedField(const QString& path,
                                                    const FieldOpener::Options& options,
                                                    QString& message) const;
    QString openedPath;
    FieldOpener::Options openedOptions;

    BandBuilder band;

    // Animation frames, and the screenshots asked for while a frame is drawn: they are
    // written from the finished frame.
    void drawFlowletBands();
    void saveAnimationFrame(int timeId);
    void beginFrame();
    void endFrame();
    bool writeScreenshot(const QImage& frame, int timeId);

    FlowletFrame flowletFrame;
    std::vector<int> pendingScreenshots;
    bool bPaintingFrame = false;

    // The samples shownNoData() was found in; reset by every load.
    const float2* landBlock = nullptr;
    NoDataMask landMask;
    bool bLandTexture = false; // texLand holds landMask
    void fieldLoaded();

    FrameCache frameCache;
    long long contentGeneration = 0; // counts invalidate()

    // FTLE background (flowViewFtle.cpp).
    void setUpFtle();
    void stopFtle();
    void requestFtle();
    void followFtle();
    void takeFtle();
    void drwFtleImage();
    void showFtleColourBar(bool both, FtleColourMap::Range r0, FtleColourMap::Range r1);

    FtleWorker* ftleWorker = nullptr; // child of the view
    QTimer* ftleProgressTimer = nullptr;
    QLabel* ftleColourBar = nullptr;
    std::array<long long, 2> ftleRequestKey{}; // field and time step last asked for
    bool ftleRunsForward = true;               // the first field of the request goes forward
};

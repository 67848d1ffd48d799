#include "viewFixture.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

namespace
{

void wheel(QWidget& widget, int delta)
{
    const QPointF centre(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(centre, widget.mapToGlobal(centre), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

class TestFlowView : public QObject
{
    Q_OBJECT

private slots:
    void startsWithItsDefaults();
    void resetCentresTheCamera();
    void mapsWindowToField();
    void wheelZooms();
    void keyRResetsTheCamera();
    void middleDragPans();
    void missingFieldIsHarmless();
    void refusedFieldIsHarmless();
};

void TestFlowView::startsWithItsDefaults()
{
    WorkingField field(int3{100, 100, 2});
    FlowView view(nullptr, 600, 600);
    QCOMPARE(view.focusPolicy(), Qt::StrongFocus);
    QVERIFY(view.hasMouseTracking());
    QVERIFY(view.iTimer && view.iTimer->parent() == &view && !view.iTimer->isActive());
    QVERIFY(view.format().samples() >= 4);
    QCOMPARE(view.format().profile(), QSurfaceFormat::CompatibilityProfile);
    QVERIFY(view.criticalpntDetect && view.licImage && view.tmpLines && view.commitedLines);
    QCOMPARE(view.trace->uiIntvTracStp, 1);
    QVERIFY(!view.trace->bMulti);
}

void TestFlowView::resetCentresTheCamera()
{
    WorkingField field(int3{100, 100, 1});
    FlowView view(nullptr, 100, 100);
    QVERIFY(view.hasField());
    QCOMPARE(view.translateX, 50);
    QCOMPARE(view.translateY, 50);
    QCOMPARE(view.translateZ, 50);
    QCOMPARE(view.halfviewW, 50.0f);
    // An odd width truncates the camera but not the half sizes.
    WorkingField odd(int3{31, 20, 1});
    view.resetView();
    QCOMPARE(view.translateX, 15);
    QCOMPARE(view.translateZ, 15);
    QCOMPARE(view.halfviewW, 15.5f);
    QCOMPARE(view.halfviewH, 10.0f);
    QCOMPARE(view.uiTimelDispTimeId, 0);
}

void TestFlowView::mapsWindowToField()
{
    WorkingField field(int3{100, 100, 1});
    FlowView view(nullptr, 100, 100);
    for (const int3 cam : {int3{50, 50, 50}, int3{30, 70, 20}})
    {
        view.translateX = cam.x;
        view.translateY = cam.y;
        view.translateZ = cam.z;
        float2 centre{50, 50};
        const float2 c = view.mapMouseCoortoFlowCoor(centre);
        QCOMPARE(c.x, float(cam.x));
        QCOMPARE(c.y, float(cam.y));
        QCOMPARE(centre.x, 50.0f); // the argument is left as it was
        float2 corner{0, 0};
        const float2 k = view.mapMouseCoortoFlowCoor(corner);
        QCOMPARE(k.x, float(cam.x - cam.z));
        QCOMPARE(k.y, float(cam.y - cam.z));
        float2 top{100, 100};
        const float2 t = view.mapMouseCoortoFlowCoor(top);
        QCOMPARE(t.x, float(cam.x + cam.z));
        QCOMPARE(t.y, float(cam.y + cam.z));
    }
}

void TestFlowView::wheelZooms()
{
    WorkingField field(int3{100, 100, 1});
    FlowView view(nullptr, 100, 100);
    wheel(view, 120);
    QCOMPARE(view.translateZ, 62);
    view.translateZ = 5;
    wheel(view, -120); // -7 falls back to 1
    QCOMPARE(view.translateZ, 1);
    view.translateZ = 12;
    wheel(view, -120); // exactly 0 is kept
    QCOMPARE(view.translateZ, 0);
    view.translateZ = 10;
    wheel(view, -15); // 8.5 truncates
    QCOMPARE(view.translateZ, 8);
}

void TestFlowView::keyRResetsTheCamera()
{
    WorkingField field(int3{200, 100, 1});
    FlowView view(nullptr, 100, 100);
    QCOMPARE(view.translateY, 100); // a reset centres on x for both axes
    view.translateX = 7;
    view.translateZ = 3;
    QTest::keyClick(&view, Qt::Key_A);
    QCOMPARE(view.translateX, 7);
    QTest::keyClick(&view, Qt::Key_R);
    QCOMPARE(view.translateX, 100);
    QCOMPARE(view.translateY, 50);
    QCOMPARE(view.translateZ, 100);
    view.translateX = 7;
    QTest::keyClick(&view, 'r');
    QCOMPARE(view.translateX, 100);
}

void TestFlowView::middleDragPans()
{
    WorkingField field(int3{100, 100, 1});
    FlowView view(nullptr, 100, 100);
    view.resize(100, 100);
    QTest::mousePress(&view, Qt::MiddleButton, {}, QPoint(50, 50));
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
    QCOMPARE(view.translateX, 50); // nothing moves while the button is held
    QTest::mouseRelease(&view, Qt::MiddleButton, {}, QPoint(60, 45));
    QCOMPARE(view.translateX, 40);
    QCOMPARE(view.translateY, 45); // 5 pixels up drags the field up
    QVERIFY(!QGuiApplication::overrideCursor());
    // A left press stores the press and its field position but does not pan.
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(10, 90));
    QCOMPARE(view.pressedCoor.x, 10.0f);
    QCOMPARE(view.pressedCoor.y, 10.0f);
    QCOMPARE(view.seedPos.x, 0.0f);
    QCOMPARE(view.seedPos.y, 5.0f);
    QCOMPARE(view.translateX, 40);
}

void TestFlowView::missingFieldIsHarmless()
{
    WorkingField empty;
    FlowView view(nullptr, 100, 100);
    QVERIFY(!view.hasField());
    QCOMPARE(view.halfviewW, 0.0f);
    QCOMPARE(view.translateZ, 0);
    view.resize(100, 100);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mousePress(&view, Qt::MiddleButton, {}, QPoint(30, 30));
    QVERIFY(!QGuiApplication::overrideCursor());
    QTest::mouseRelease(&view, Qt::MiddleButton, {}, QPoint(60, 60));
    QTest::keyClick(&view, Qt::Key_R);
    wheel(view, 120);
    QCOMPARE(view.translateX, 0);
    QCOMPARE(view.translateY, 0);
    QCOMPARE(view.translateZ, 12);
    QCOMPARE(view.seedPos.x, 0.0f);
}

void TestFlowView::refusedFieldIsHarmless()
{
    WorkingField field;
    field.files.slice("data/hurricane_z_8.dat", int3{100, 100, 1}, {}); // samples missing
    FlowView view(nullptr, 100, 100);
    QVERIFY(!view.hasField());
    QCOMPARE(view.dataMani->flowFieldSize.x, 0);
}

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestFlowView test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_flowView.moc"

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
    void resetThenMapsWindowToField();
    void wheelZooms();
    void keyRResetsTheCamera();
    void middleDragPans();
    void missingOrRefusedFieldIsHarmless();
};

void TestFlowView::resetThenMapsWindowToField()
{
    struct Case
    {
        int3 camera;
        float2 mouse, field;
    };
    const Case cases[] = {
        {{50, 50, 50}, {50, 50}, {50, 50}},     {{50, 50, 50}, {0, 0}, {0, 0}},
        {{50, 50, 50}, {100, 100}, {100, 100}}, {{30, 70, 20}, {50, 50}, {30, 70}},
        {{30, 70, 20}, {0, 0}, {10, 50}},       {{30, 70, 20}, {100, 100}, {50, 90}}};
    WorkingField field(int3{100, 100, 1});
    FlowView view(nullptr, 100, 100);
    QVERIFY(view.hasField() && view.halfviewW == 50.0f);
    QVERIFY(view.translateX == 50 && view.translateY == 50 && view.translateZ == 50);
    for (const Case& c : cases)
    {
        view.translateX = c.camera.x;
        view.translateY = c.camera.y;
        view.translateZ = c.camera.z;
        float2 mouse = c.mouse;
        const float2 f = view.mapMouseCoortoFlowCoor(mouse);
        QVERIFY(f.x == c.field.x && f.y == c.field.y);
        QVERIFY(mouse.x == c.mouse.x && mouse.y == c.mouse.y); // the argument is left alone
    }
}

void TestFlowView::wheelZooms()
{
    // Start, wheel delta, result: -7 falls back to 1, exactly 0 is kept, 8.5 truncates.
    const int3 cases[] = {{50, 120, 62}, {5, -120, 1}, {12, -120, 0}, {10, -15, 8}};
    WorkingField field(int3{100, 100, 1});
    FlowView view(nullptr, 100, 100);
    for (const int3& c : cases)
    {
        view.translateZ = c.x;
        wheel(view, c.y);
        QCOMPARE(view.translateZ, c.z);
    }
}

void TestFlowView::keyRResetsTheCamera()
{
    WorkingField field(int3{200, 100, 1});
    FlowView view(nullptr, 100, 100);
    QCOMPARE(view.translateY, 100); // a reset centres on x for both axes
    view.translateX = 7;
    QTest::keyClick(&view, Qt::Key_A);
    QCOMPARE(view.translateX, 7); // other keys do nothing
    QTest::keyClick(&view, Qt::Key_R);
    QVERIFY(view.translateX == 100 && view.translateY == 50 && view.translateZ == 100);
}

void TestFlowView::middleDragPans()
{
    WorkingField field(int3{100, 100, 1});
    FlowView view(nullptr, 100, 100);
    view.resize(100, 100);
    QTest::mousePress(&view, Qt::MiddleButton, {}, QPoint(50, 50));
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
    QCOMPARE(view.translateX, 50); // nothing moves while the button is held
    QTest::mouseRelease(&view, Qt::MiddleButton, {}, QPoint(60, 45));
    QCOMPARE(view.translateX, 40);
    QCOMPARE(view.translateY, 45); // 5 pixels up drags the field up
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestFlowView::missingOrRefusedFieldIsHarmless()
{
    for (const bool refused : {false, true})
    {
        WorkingField field;
        if (refused)
            // A header whose sample count wraps around in 64 bits, and no samples.
            field.files.slice("data/hurricane_z_8.dat", int3{1 << 30, 1 << 30, 16}, {});
        FlowView view(nullptr, 100, 100);
        view.resize(100, 100);
        QVERIFY(!view.hasField());
        QCOMPARE(view.dataMani->flowFieldSize.x, 0);
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mousePress(&view, Qt::MiddleButton, {}, QPoint(30, 30));
        QVERIFY(!QGuiApplication::overrideCursor());
        QTest::mouseRelease(&view, Qt::MiddleButton, {}, QPoint(60, 60));
        QTest::keyClick(&view, Qt::Key_R);
        wheel(view, 120);
        QVERIFY(view.translateX == 0 && view.translateY == 0 && view.translateZ == 12);
        QVERIFY(view.seedPos.x == 0.0f && view.tmpLines->streamlineNum == 0);
    }
}

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestFlowView test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_flowView.moc"

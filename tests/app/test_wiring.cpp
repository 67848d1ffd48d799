#include "app/myclass.h"
#include "tracing/tracing.h"
#include "view/flowView.h"

#include <QTest>

// The panel drives the view: on a shared signal the window's slot runs first, and widgets
// of the hidden group reach the view like visible ones.
class TestWiring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat()); }
    void windowSlotRunsBeforeViewSlot();
    void hiddenWidgetsReachTheView();
    void viewMessagesReachThePanel();
    void selectAllShowsEveryCriticalPointType();
};

void TestWiring::windowSlotRunsBeforeViewSlot()
{
    MyClass window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.ui.cbPthline, Qt::LeftButton);
    QVERIFY(window.flowView2d->bPthl);

    // The view's streamline toggle announces the animation state; by then the window's own
    // slot must already have run its cascade and set its hint.
    QStringList hintsSeen;
    QList<bool> pathlineSeen;
    connect(window.flowView2d, &FlowView::view_enable_animation_msg, &window,
            [&](int)
            {
                hintsSeen << window.ui.labHint->text();
                pathlineSeen << window.ui.cbPthline->isChecked();
            });
    QTest::mouseClick(window.ui.cbStrmline, Qt::LeftButton);
    QVERIFY(!hintsSeen.isEmpty());
    QCOMPARE(hintsSeen.last(), window.ui.labHint->text());
    QVERIFY(hintsSeen.last().contains("streamline"));
    QCOMPARE(pathlineSeen.last(), false);
    QVERIFY(window.flowView2d->bStrml);
    QVERIFY(!window.flowView2d->bPthl);
}

void TestWiring::hiddenWidgetsReachTheView()
{
    MyClass window;
    FlowView* view = window.flowView2d;
    QVERIFY(window.ui.hSliTraceStpIntv->visibleRegion().isEmpty());
    window.ui.hSliTraceStpIntv->setValue(3);
    QCOMPARE(view->uiIntvTracStp, 3);
    QCOMPARE(view->trace->uiIntvTracStp, 3);

    window.ui.cbDistCtrl->setChecked(true);
    QVERIFY(view->trace->bDistctrl);
    window.ui.hSliDisCtrl->setValue(7);
    QCOMPARE(view->trace->uiDistCtrl, 7 * 0.1f);

    window.ui.cbAntialias->setChecked(true);
    QVERIFY(view->bAntiali);
    window.ui.cbTube->setChecked(true);
    window.ui.cbTube->setChecked(false);
    QVERIFY(!view->bTubelines);
}

void TestWiring::viewMessagesReachThePanel()
{
    MyClass window;
    emit window.flowView2d->displayMouseCoor(makeInt2(120, 340));
    QVERIFY(window.ui.lbMouse_x->text().contains("120"));
    QVERIFY(window.ui.lbMouse_y->text().contains("340"));

    QTest::mouseClick(window.ui.pbStrmStrkPathlAnim, Qt::LeftButton);
    QVERIFY(window.cntAnimStrmStrkPathl > 1);
    emit window.flowView2d->reset_cntAnimStrmStrkPathl_msg();
    QCOMPARE(window.cntAnimStrmStrkPathl, 1);
}

void TestWiring::selectAllShowsEveryCriticalPointType()
{
    MyClass window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.ui.pbSelectAllCritpnt, Qt::LeftButton);
    const FlowView* view = window.flowView2d;
    QVERIFY(view->bRepFocus && view->bAttrFocus && view->bCenter && view->bRepNode &&
            view->bAttrNode && view->bSaddlePnt && view->bCriticalPntStrml);
    QTest::mouseClick(window.ui.pbSelectNoneCritpnt, Qt::LeftButton);
    QVERIFY(!view->bRepFocus && !view->bSaddlePnt && !view->bCriticalPntStrml);
}

QTEST_MAIN(TestWiring)
#include "test_wiring.moc"

#include "app/myclass.h"

#include <QGroupBox>
#include <QTest>

class TestMyClass : public QObject
{
    Q_OBJECT

private slots:
    void placementFollowsTheDesktop_data();
    void placementFollowsTheDesktop();
    void frameHasItsFixedGeometry();
};

void TestMyClass::placementFollowsTheDesktop_data()
{
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("full HD") << QSize(1920, 1080) << QPoint(422, 210);
    QTest::newRow("SXGA") << QSize(1280, 1024) << QPoint(102, 182);
    QTest::newRow("narrow") << QSize(1024, 768) << QPoint(-25, 54);
}

void TestMyClass::placementFollowsTheDesktop()
{
    QFETCH(QSize, desktop);
    QFETCH(QPoint, origin);
    const QRect rect = MyClass::placement(desktop, 600);
    QCOMPARE(rect.topLeft(), origin);
    QCOMPARE(rect.size(), QSize(1075, 690));
}

void TestMyClass::frameHasItsFixedGeometry()
{
    MyClass window;
    QCOMPARE(window.windowTitle(), QString("Quorvel"));
    QCOMPARE(window.size(), QSize(1075, 690));
    QCOMPARE(window.motherGroupbox->geometry(), QRect(650, 15, 410, 440));
    QCOMPARE(window.ui.labHint->geometry(), QRect(15, 645, 1075, 30));
    QCOMPARE(window.ui.gbFlowView->geometry(), QRect(15, 15, 630, 630));
    QVERIFY(window.flowView2d);
    QCOMPARE(window.flowView2d->parentWidget(), window.ui.gbFlowView);
    QCOMPARE(window.flowView2d->geometry(), QRect(15, 15, 600, 600));
    QCOMPARE(window.flowView2d->winWidth, 600);
    QCOMPARE(window.flowView2d->winHeight, 600);
    QCOMPARE(window.cntAnimPTl, 0);
    QCOMPARE(window.cntAnimStrmStrkPathl, 1);
}

QTEST_MAIN(TestMyClass)
#include "test_myclass.moc"

// The opt-in full panel: the second control group shown beside the first, every one of its
// controls reaching the view by mouse, and switching layouts with the shortcut keeping every
// state. The default window keeps its geometry, and none of its hidden widgets takes focus.
#include "app/myclass.h"
#include "app/panelLayout.h"
#include "app/tabReadStdyDat.h"
#include "app/tabReadUnstdyDat.h"
#include "view/viewFixture.h"

#include <QTabBar>
#include <QTest>

#include <functional>
#include <memory>

namespace
{
// A real click on a named widget: a button, the right end of a slider's groove (a page step
// up), a line edit whose text is then replaced by a typed digit, or the tab of a tab widget
// that is not current.
void click(MyClass& window, const QString& name)
{
    QWidget* widget = window.findChild<QWidget*>(name);
    QVERIFY2(widget && !widget->visibleRegion().isEmpty(), qPrintable(name));
    if (auto* tabs = qobject_cast<QTabWidget*>(widget))
    {
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1 - bar->currentIndex()).center());
        return;
    }
    const bool slider = qobject_cast<QSlider*>(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {},
                      QPoint(slider ? widget->width() - 3 : 8, widget->height() / 2));
    if (qobject_cast<QLineEdit*>(widget))
    {
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(widget, Qt::Key_7);
    }
}

// Every widget's state as text, the hint line left out.
QStringList snapshot(const MyClass& window)
{
    QStringList out;
    for (const QWidget* w : window.findChildren<QWidget*>())
    {
        QString state = w->objectName() + (w->isEnabled() ? " on" : " off");
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            state += QString(" %1 %2").arg(button->isChecked()).arg(button->text());
        if (const auto* slider = qobject_cast<const QAbstractSlider*>(w))
            state += QString(" %1/%2").arg(slider->value()).arg(slider->maximum());
        if (const auto* edit = qobject_cast<const QLineEdit*>(w))
            state += " " + edit->text();
        if (const auto* tabs = qobject_cast<const QTabWidget*>(w))
            state += QString(" tab %1").arg(tabs->currentIndex());
        if (const auto* label = qobject_cast<const QLabel*>(w);
            label && w->objectName() != "labHint")
            state += " " + label->text();
        out << state;
    }
    return out;
}

// The widgets that Tab reaches from the view, once round the chain.
QList<QWidget*> tabStops(MyClass& window)
{
    window.flowView2d->setFocus();
    QList<QWidget*> stops;
    for (int i = 0; i < 80; ++i)
    {
        QTest::keyClick(&window, Qt::Key_Tab);
        stops << window.focusWidget();
    }
    return stops;
}
} // namespace

class TestFullPanel : public QObject
{
    Q_OBJECT

    std::unique_ptr<WorkingField> field;
    std::unique_ptr<MyClass> window; // full panel, shared by the cases below

    std::unique_ptr<MyClass> open()
    {
        auto opened = std::make_unique<MyClass>();
        opened->show();
        opened->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(opened.get())); }();
        return opened;
    }

private slots:
    void initTestCase()
    {
        QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
        field = std::make_unique<WorkingField>(int3{20, 20, 2});
        // The view's default steady set, 8 x 8.
        field->files.text("flow data/stdy flow data/earthquake_100.txt", "8 8 1");
        field->files.binary("flow data/stdy flow data/earthquake_100.dat",
                            std::vector<float3>(64, float3{1.0f, 0.5f, 0.0f}));
        qputenv("QUORVEL_PANEL", "full");
        window = open();
        qunsetenv("QUORVEL_PANEL");
    }
    void cleanupTestCase() { window.reset(), field.reset(); }

    void defaultWindowKeepsItsGeometryAndFocus()
    {
        const std::unique_ptr<MyClass> compact = open();
        const QRect frame = compact->geometry();
        QCOMPARE(frame.size(), QSize(1075, 690));
        QCOMPARE(compact->ui.groupBox_4->geometry(), QRect(650, 15, 410, 440));
        QCOMPARE(compact->ui.groupBox_5->geometry(), QRect(1170, 0, 0, 0));
        QCOMPARE(compact->ui.groupBox_5->title(), QString("Disabled"));
        for (QWidget* stop : tabStops(*compact))
            QVERIFY2(!compact->ui.groupBox_5->isAncestorOf(stop), qPrintable(stop->objectName()));

        compact->panelLayout->toggle();
        compact->panelLayout->toggle();
        QCOMPARE(compact->geometry(), frame);
        QCOMPARE(compact->ui.groupBox_5->geometry(), QRect(1170, 0, 0, 0));
    }

    void fullPanelShowsTheGroupBesideThePanel()
    {
        QCOMPARE(window->size(), QSize(1525, 690));
        QCOMPARE(window->ui.groupBox_5->geometry(), QRect(1070, 15, 440, 510));
        QCOMPARE(window->ui.groupBox_5->title(), QString("More"));
        QVERIFY(tabStops(*window).contains(window->panelLayout->hSliMarkSize));
    }

    // Each control, clicked, changes what the view holds.
    void formerlyHiddenControlsReachTheView()
    {
        FlowView* view = window->flowView2d;
        const QString steady = field->files.path("flow data/stdy flow data/earthquake_100.txt");
        window->rdStdyDat->chooseFile = [&](QWidget*, const QString&, const QString&)
        { return steady; };
        window->rdUbstdyDat->chooseFile = [](QWidget*, const QString&, const QString&)
        { return QString("u/header.txt"); };
        using Read = std::function<double()>;
        const std::pair<const char*, Read> rows[] = {
            {"hSliUnstdyInterTimeID", [&] { return view->uiTimelDispTimeId; }},
            {"pbTimeIDChosen", [&] { return view->uiTimeId; }},
            {"cbUnifSeeding", [&] { return view->bUnif; }},
            {"leUniNumSeed_x", [&] { return view->uiUnifSeedXNum; }},
            {"leUniNumSeed_y", [&] { return view->uiUnifSeedYNum; }},
            {"cbRandomSeeding", [&] { return view->bRand; }},
            {"leRanNumSeed", [&] { return view->uiRandSeedNum; }},
            {"cbLICHistoEqu", [&] { return view->bLicHisto; }},
            {"cbAntialias", [&] { return view->bAntiali; }},
            {"hSliTraceStpIntv", [&] { return view->uiIntvTracStp; }},
            {"cbDistCtrl", [&] { return view->trace->bDistctrl; }},
            {"hSliDisCtrl", [&] { return view->trace->uiDistCtrl; }},
            {"pbPTlAnim", [&] { return view->viewCntAnimPTl; }},
            {"cbTube", [&] { return view->iTimer->isActive(); }},
            {"pbSavePPM", [&] { return QDir("flow data").entryList({"Screenshot*"}).size(); }},
            {"hSliMarkSize", [&] { return view->markScale; }},
            {"btnOpnUnstdyHdrDlg", [&] { return view->unstdyHdrPth.size(); }},
            {"tabFlowFile", [&] { return window->ui.tabFlowFile->currentIndex(); }},
            {"btnOpnStdyHdrDlg", [&] { return view->stdyHdrPth == steady; }},
            {"btnconfirmStdyFile", [&] { return view->tabStdyEnable; }},
            {"pbSliceChosen", [&] { return view->dataMani->flowFieldSize.x; }},
            {"hSliUnstdySliceID", [&] { return view->dataMani->uiUnstdySlicId; }},
        };
        view->iTimer->start(1000); // tubes stop the timer
        for (const auto& [name, read] : rows)
        {
            const double before = read();
            click(*window, name);
            QVERIFY2(read() != before, name);
        }
    }

    // Only a drag ends on a release, which sends the slice interval.
    void sliceIntervalDragReachesTheView()
    {
        QSlider* slider = window->ui.hSliStrklSliceIntv;
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->width() - 5, 9));
        QTest::mouseMove(slider, QPoint(slider->width() / 2, 9));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, 9));
        QCOMPARE(window->flowView2d->trace->uiStrkParticleTimeIntv, slider->value() * 0.1f);
        QVERIFY(slider->value() < 10);
    }

    void switchingKeepsEveryState()
    {
        const QStringList before = snapshot(*window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(!window->panelLayout->isFull());
        QCOMPARE(window->size(), QSize(1075, 690));
        QCOMPARE(snapshot(*window), before);
        QVERIFY(window->ui.labHint->text().contains("QUORVEL_PANEL=full"));
        QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(window->panelLayout->isFull());
        QCOMPARE(snapshot(*window), before);
    }
};

QTEST_MAIN(TestFullPanel)
#include "test_fullPanel.moc"

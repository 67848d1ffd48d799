#include "app/myclass.h"
#include "app/tabReadStdyDat.h"
#include "app/tabReadUnstdyDat.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace
{
// A stand-in for the window: the widgets the tabs look up by name.
struct TabHost
{
    QWidget window;
    QWidget* page = new QWidget(&window);

    TabHost()
    {
        for (const char* name :
             {"leStdyHdrDir", "leStdyDatDir", "leUnstdyHdrDir", "leUnstdyDatDir"})
            (new QLineEdit(page))->setObjectName(name);
        for (const char* name :
             {"btnOpnStdyHdrDlg", "btnOpnStdyDatDlg", "btnconfirmStdyFile", "btnOpnUnstdyHdrDlg",
              "btnOpnUnstdyDatDlg", "btnconfirmUnstdyFile"})
            (new QPushButton(page))->setObjectName(name);
    }
    QString text(const char* name) const { return window.findChild<QLineEdit*>(name)->text(); }
};

// Answers every dialog with the queued path and remembers what was asked.
struct ScriptedDialog
{
    QString answer;
    QStringList captions;
    QStringList filters;

    TabReadStdyDat::FileChooser chooser()
    {
        return [this](QWidget*, const QString& caption, const QString& filter)
        {
            captions << caption;
            filters << filter;
            return answer;
        };
    }
};
} // namespace

class TestFileTabs : public QObject
{
    Q_OBJECT

private slots:
    void constructorsFindWidgetsAndShowDefaults();
    void steadyPickDerivesTheCompanion_data();
    void steadyPickDerivesTheCompanion();
    void unsteadyDataPickSwapsComponents_data();
    void unsteadyDataPickSwapsComponents();
    void unsteadyHeaderFirstSendsEmptyDataPaths();
    void cancelledDialogsChangeNothing();
    void tabsWithoutTheirWidgetsStillWork();
    void windowHandsPickedPathsToTheView();
};

void TestFileTabs::constructorsFindWidgetsAndShowDefaults()
{
    TabHost host;
    TabReadStdyDat stdy(&host.window);
    TabReadUnstdyDat unstdy(&host.window);
    QVERIFY(stdy.leStdyHdrDir && stdy.leStdyDatDir && stdy.btnOpnStdyHdrDlg &&
            stdy.btnOpnStdyDatDlg && stdy.btnconfirmStdyFile);
    QVERIFY(unstdy.leUnstdyHdrDir && unstdy.leUnstdyDatDir && unstdy.btnOpnUnstdyHdrDlg &&
            unstdy.btnOpnUnstdyDatDlg && unstdy.btnconfirmUnstdyFile);
    QCOMPARE(host.text("leStdyHdrDir"), QString("./flow data/stdy flow data/earthquake_100.txt"));
    QCOMPARE(host.text("leStdyDatDir"), QString("./flow data/stdy flow data/earthquake_100.dat"));
    QCOMPARE(host.text("leUnstdyHdrDir"), QString("./flow data/unstdy flow data/header.txt"));
    QCOMPARE(host.text("leUnstdyDatDir"), QString("./flow data/unstdy flow data/Uf/Uf01.dat"));
    QVERIFY(unstdy.unSteadyHdrPth.isEmpty() && unstdy.unSteadyPth.isEmpty() &&
            unstdy.unSteadyPth2.isEmpty());
}

void TestFileTabs::steadyPickDerivesTheCompanion_data()
{
    QTest::addColumn<bool>("pickHeader");
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("hdr");
    QTest::addColumn<QString>("dat");
    QTest::newRow("data file") << false << "a/field.dat"
                               << "a/field.txt"
                               << "a/field.dat";
    QTest::newRow("header file") << true << "a/field.txt"
                                 << "a/field.txt"
                                 << "a/field.dat";
    QTest::newRow("double extension") << true << "a/x.txt.txt"
                                      << "a/x.txt.txt"
                                      << "a/x.dat.dat";
    QTest::newRow("upper case kept") << true << "a/X.TXT"
                                     << "a/X.TXT"
                                     << "a/X.TXT";
}

void TestFileTabs::steadyPickDerivesTheCompanion()
{
    QFETCH(bool, pickHeader);
    QFETCH(QString, picked);
    QFETCH(QString, hdr);
    QFETCH(QString, dat);
    TabHost host;
    TabReadStdyDat stdy(&host.window);
    ScriptedDialog dialog{picked, {}, {}};
    stdy.chooseFile = dialog.chooser();
    QSignalSpy spy(&stdy, &TabReadStdyDat::stdydirPasstoDataMani);

    pickHeader ? stdy.on_btnOpnStdyHdrDlg() : stdy.on_btnOpnStdyDatDlg();

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), hdr);
    QCOMPARE(spy.at(0).at(1).toString(), dat);
    QCOMPARE(host.text("leStdyHdrDir"), hdr);
    QCOMPARE(host.text("leStdyDatDir"), dat);
    QCOMPARE(dialog.captions.value(0), pickHeader ? QString("Open Steady Flow Header file")
                                                  : QString("Open Steady Flow Data file"));
    QCOMPARE(dialog.filters.value(0), pickHeader ? QString("Header files (*.txt);;All Files (*)")
                                                 : QString("Data files (*.dat);;All Files (*)"));
}

void TestFileTabs::unsteadyDataPickSwapsComponents_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("companion");
    QTest::newRow("V picked") << "d/Vf/Vf07.dat"
                              << "d/Uf/Uf07.dat";
    QTest::newRow("U picked") << "d/Uf/Uf07.dat"
                              << "d/Vf/Vf07.dat";
    QTest::newRow("U elsewhere wins") << "Users/Vf/Vf07.dat"
                                      << "Vsers/Vf/Vf07.dat";
    QTest::newRow("neither") << "d/f07.dat"
                             << "d/f07.dat";
}

void TestFileTabs::unsteadyDataPickSwapsComponents()
{
    QFETCH(QString, picked);
    QFETCH(QString, companion);
    TabHost host;
    TabReadUnstdyDat unstdy(&host.window);
    ScriptedDialog dialog{picked, {}, {}};
    unstdy.chooseFile = dialog.chooser();
    QSignalSpy spy(&unstdy, &TabReadUnstdyDat::unstdydirPasstoDataMani);

    unstdy.on_btnOpnUnstdyDatDlg();

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString());
    QCOMPARE(spy.at(0).at(1).toString(), picked);
    QCOMPARE(spy.at(0).at(2).toString(), companion);
    QCOMPARE(unstdy.unSteadyPth2, companion);
    QCOMPARE(host.text("leUnstdyDatDir"), picked);
    QCOMPARE(host.text("leUnstdyHdrDir"), QString("./flow data/unstdy flow data/header.txt"));
    QCOMPARE(dialog.captions.value(0), QString("Open Unsteady Flow Data files"));
    QCOMPARE(dialog.filters.value(0), QString("Data files (*.dat);;All Files (*)"));
}

void TestFileTabs::unsteadyHeaderFirstSendsEmptyDataPaths()
{
    TabHost host;
    TabReadUnstdyDat unstdy(&host.window);
    ScriptedDialog dialog{"h/header.txt", {}, {}};
    unstdy.chooseFile = dialog.chooser();
    QSignalSpy spy(&unstdy, &TabReadUnstdyDat::unstdydirPasstoDataMani);

    unstdy.on_btnOpnUnstdyHdrDlg();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("h/header.txt"));
    QVERIFY(spy.at(0).at(1).toString().isEmpty() && spy.at(0).at(2).toString().isEmpty());
    QCOMPARE(host.text("leUnstdyHdrDir"), QString("h/header.txt"));
    QCOMPARE(dialog.captions.value(0), QString("Open Unsteady Flow Header files"));

    // A later data pick carries the header chosen before.
    dialog.answer = "h/Uf/Uf01.dat";
    unstdy.on_btnOpnUnstdyDatDlg();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QString("h/header.txt"));
    QCOMPARE(spy.at(1).at(2).toString(), QString("h/Vf/Vf01.dat"));
}

void TestFileTabs::cancelledDialogsChangeNothing()
{
    TabHost host;
    TabReadStdyDat stdy(&host.window);
    TabReadUnstdyDat unstdy(&host.window);
    ScriptedDialog dialog{"p/Uf/Uf03.dat", {}, {}};
    unstdy.chooseFile = dialog.chooser();
    unstdy.on_btnOpnUnstdyDatDlg();

    dialog.answer.clear();
    stdy.chooseFile = dialog.chooser();
    unstdy.chooseFile = dialog.chooser();
    QSignalSpy stdySpy(&stdy, &TabReadStdyDat::stdydirPasstoDataMani);
    QSignalSpy unstdySpy(&unstdy, &TabReadUnstdyDat::unstdydirPasstoDataMani);
    stdy.on_btnOpnStdyHdrDlg();
    stdy.on_btnOpnStdyDatDlg();
    unstdy.on_btnOpnUnstdyHdrDlg();
    unstdy.on_btnOpnUnstdyDatDlg();

    QCOMPARE(dialog.captions.size(), 5);
    QCOMPARE(stdySpy.count(), 0);
    QCOMPARE(unstdySpy.count(), 0);
    QCOMPARE(host.text("leStdyHdrDir"), QString("./flow data/stdy flow data/earthquake_100.txt"));
    QCOMPARE(host.text("leUnstdyDatDir"), QString("p/Uf/Uf03.dat"));
    QCOMPARE(unstdy.unSteadyPth, QString("p/Uf/Uf03.dat"));
    QCOMPARE(unstdy.unSteadyPth2, QString("p/Vf/Vf03.dat"));
    QVERIFY(unstdy.unSteadyHdrPth.isEmpty());
}

void TestFileTabs::tabsWithoutTheirWidgetsStillWork()
{
    QWidget bare;
    TabReadStdyDat stdy(&bare);
    TabReadUnstdyDat unstdy(&bare);
    QVERIFY(!stdy.leStdyHdrDir && !unstdy.leUnstdyDatDir);
    ScriptedDialog dialog{"a/b.dat", {}, {}};
    stdy.chooseFile = dialog.chooser();
    unstdy.chooseFile = dialog.chooser();
    QSignalSpy spy(&stdy, &TabReadStdyDat::stdydirPasstoDataMani);
    stdy.on_btnOpnStdyDatDlg();
    unstdy.on_btnOpnUnstdyDatDlg();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(unstdy.unSteadyPth, QString("a/b.dat"));
}

void TestFileTabs::windowHandsPickedPathsToTheView()
{
    MyClass window;
    ScriptedDialog dialog{"s/field.dat", {}, {}};
    window.rdStdyDat->chooseFile = dialog.chooser();
    window.ui.btnOpnStdyDatDlg->click();
    QCOMPARE(window.flowView2d->stdyHdrPth, QString("s/field.txt"));
    QCOMPARE(window.flowView2d->dataMani->stdyDatPth, QString("s/field.dat"));

    dialog.answer = "u/Vf/Vf07.dat";
    window.rdUbstdyDat->chooseFile = dialog.chooser();
    window.ui.btnOpnUnstdyDatDlg->click();
    QCOMPARE(window.flowView2d->unstdyDatPth, QString("u/Uf/Uf07.dat"));
}

QTEST_MAIN(TestFileTabs)
#include "test_fileTabs.moc"

// The data-file tabs: the companion path each pick derives, what they send, what they show,
// and that a cancelled dialog changes nothing.
#include "app/myclass.h"
#include "app/tabReadStdyDat.h"
#include "app/tabReadUnstdyDat.h"

#include <QLineEdit>
#include <QTest>

namespace
{
const char* const kEdits[] = {"leStdyHdrDir", "leStdyDatDir", "leUnstdyHdrDir", "leUnstdyDatDir"};

// A stand-in for the window: the line edits the tabs look up by name.
struct TabHost
{
    QWidget window;
    QStringList defaults;

    TabHost()
    {
        for (const char* name : kEdits)
            (new QLineEdit(&window))->setObjectName(name);
    }
    QString text(int i) const { return window.findChild<QLineEdit*>(kEdits[i])->text(); }
    void rememberDefaults()
    {
        for (int i = 0; i < 4; ++i)
            defaults << text(i);
    }
    // The four fields, "-" where one still shows its opening text.
    QString shown() const
    {
        QStringList out;
        for (int i = 0; i < 4; ++i)
            out << (text(i) == defaults[i] ? "-" : text(i));
        return out.join(' ');
    }
};
} // namespace

class TestFileTabs : public QObject
{
    Q_OBJECT

private slots:
    void picksDeriveSendAndShow_data();
    void picksDeriveSendAndShow();
    void tabsWithoutTheirWidgetsStillWork();
    void windowHandsPickedPathsToTheView();
};

void TestFileTabs::picksDeriveSendAndShow_data()
{
    // Each pick is "<dialog>=<answer>"; an empty answer is a cancelled dialog.
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("shown");
    QTest::newRow("steady data") << QStringList{"StdyDat=a/field.dat"} << "a/field.txt|a/field.dat"
                                 << "a/field.txt a/field.dat - -";
    QTest::newRow("steady header")
        << QStringList{"StdyHdr=a/field.txt"} << "a/field.txt|a/field.dat"
        << "a/field.txt a/field.dat - -";
    QTest::newRow("double extension")
        << QStringList{"StdyHdr=a/x.txt.txt"} << "a/x.txt.txt|a/x.dat.dat"
        << "a/x.txt.txt a/x.dat.dat - -";
    QTest::newRow("upper case kept") << QStringList{"StdyHdr=a/X.TXT"} << "a/X.TXT|a/X.TXT"
                                     << "a/X.TXT a/X.TXT - -";
    QTest::newRow("V picked") << QStringList{"UnstdyDat=d/Vf/Vf07.dat"}
                              << "|d/Vf/Vf07.dat|d/Uf/Uf07.dat"
                              << "- - - d/Vf/Vf07.dat";
    QTest::newRow("U picked") << QStringList{"UnstdyDat=d/Uf/Uf07.dat"}
                              << "|d/Uf/Uf07.dat|d/Vf/Vf07.dat"
                              << "- - - d/Uf/Uf07.dat";
    QTest::newRow("U elsewhere wins")
        << QStringList{"UnstdyDat=Users/Vf/Vf07.dat"} << "|Users/Vf/Vf07.dat|Vsers/Vf/Vf07.dat"
        << "- - - Users/Vf/Vf07.dat";
    QTest::newRow("neither") << QStringList{"UnstdyDat=d/f07.dat"} << "|d/f07.dat|d/f07.dat"
                             << "- - - d/f07.dat";
    QTest::newRow("header then data")
        << QStringList{"UnstdyHdr=h/header.txt", "UnstdyDat=h/Uf/Uf01.dat"}
        << "h/header.txt||;h/header.txt|h/Uf/Uf01.dat|h/Vf/Vf01.dat"
        << "- - h/header.txt h/Uf/Uf01.dat";
    QTest::newRow("cancelled") << QStringList{"UnstdyDat=p/Uf/Uf03.dat",
                                              "UnstdyDat=", "UnstdyHdr=", "StdyHdr=", "StdyDat="}
                               << "|p/Uf/Uf03.dat|p/Vf/Vf03.dat"
                               << "- - - p/Uf/Uf03.dat";
}

void TestFileTabs::picksDeriveSendAndShow()
{
    QFETCH(QStringList, picks);
    QFETCH(QString, sent);
    QFETCH(QString, shown);
    TabHost host;
    TabReadStdyDat stdy(&host.window);
    TabReadUnstdyDat unstdy(&host.window);
    host.rememberDefaults();

    QString answer;
    QStringList captions;
    const auto dialog = [&](QWidget*, const QString& caption, const QString&)
    {
        captions << caption;
        return answer;
    };
    stdy.chooseFile = dialog;
    unstdy.chooseFile = dialog;
    QStringList received;
    connect(&stdy, &TabReadStdyDat::stdydirPasstoDataMani, this,
            [&](const QString& h, const QString& d) { received << h + "|" + d; });
    connect(&unstdy, &TabReadUnstdyDat::unstdydirPasstoDataMani, this,
            [&](const QString& h, const QString& d, const QString& d2)
            { received << h + "|" + d + "|" + d2; });

    for (const QString& pick : picks)
    {
        const QString dialogName = pick.section('=', 0, 0);
        answer = pick.section('=', 1);
        if (dialogName == "StdyHdr")
            stdy.on_btnOpnStdyHdrDlg();
        else if (dialogName == "StdyDat")
            stdy.on_btnOpnStdyDatDlg();
        else if (dialogName == "UnstdyHdr")
            unstdy.on_btnOpnUnstdyHdrDlg();
        else
            unstdy.on_btnOpnUnstdyDatDlg();
    }
    QCOMPARE(captions.size(), picks.size());
    QCOMPARE(received.join(';'), sent);
    QCOMPARE(host.shown(), shown);
}

void TestFileTabs::tabsWithoutTheirWidgetsStillWork()
{
    QWidget bare;
    TabReadStdyDat stdy(&bare);
    TabReadUnstdyDat unstdy(&bare);
    const auto dialog = [](QWidget*, const QString&, const QString&) { return QString("a/b.dat"); };
    stdy.chooseFile = dialog;
    unstdy.chooseFile = dialog;
    int sent = 0;
    connect(&stdy, &TabReadStdyDat::stdydirPasstoDataMani, this, [&] { ++sent; });
    stdy.on_btnOpnStdyDatDlg();
    unstdy.on_btnOpnUnstdyDatDlg();
    QCOMPARE(sent, 1);
    QCOMPARE(unstdy.unSteadyPth, QString("a/b.dat"));
}

void TestFileTabs::windowHandsPickedPathsToTheView()
{
    MyClass window;
    QCOMPARE(window.ui.leStdyHdrDir->text(),
             QString("./flow data/stdy flow data/earthquake_100.txt"));
    QCOMPARE(window.ui.leUnstdyDatDir->text(), QString("./flow data/unstdy flow data/Uf/Uf01.dat"));
    QString answer = "s/field.dat";
    QStringList asked;
    const auto dialog = [&](QWidget*, const QString& caption, const QString&)
    {
        asked << caption.section(' ', 1, 1) + caption.section(' ', 3, 3);
        return answer;
    };
    window.rdStdyDat->chooseFile = dialog;
    window.rdUbstdyDat->chooseFile = dialog;
    window.ui.btnOpnStdyDatDlg->click();
    QCOMPARE(window.flowView2d->stdyHdrPth, QString("s/field.txt"));
    QCOMPARE(window.flowView2d->dataMani->stdyDatPth, QString("s/field.dat"));

    answer = "u/Vf/Vf07.dat";
    window.ui.btnOpnUnstdyDatDlg->click();
    QCOMPARE(window.flowView2d->unstdyDatPth, QString("u/Uf/Uf07.dat"));

    // Each button opens its own dialog.
    answer.clear();
    window.ui.btnOpnStdyHdrDlg->click();
    window.ui.btnOpnUnstdyHdrDlg->click();
    QCOMPARE(asked.join(' '), QString("SteadyData UnsteadyData SteadyHeader UnsteadyHeader"));
}

QTEST_MAIN(TestFileTabs)
#include "test_fileTabs.moc"

// The data-file tabs: the companion path each pick derives, what they send, what they show,
// and that a cancelled dialog changes nothing.
#include "app/myclass.h"
#include "app/tabReadStdyDat.h"
#include "app/tabReadUnstdyDat.h"

#include <QLineEdit>
#include <QTest>

namespace
{
// A stand-in for the window: the line edits the tabs look up by name, unless left out. The
// edits start as "-" so that a test sees which ones a pick changed.
struct TabHost
{
    QWidget window;
    QList<QLineEdit*> edits;
    TabReadStdyDat* stdy = nullptr;
    TabReadUnstdyDat* unstdy = nullptr;

    explicit TabHost(bool withEdits)
    {
        for (const char* name :
             {"leStdyHdrDir", "leStdyDatDir", "leUnstdyHdrDir", "leUnstdyDatDir"})
            if (withEdits)
                (edits << new QLineEdit(&window)).last()->setObjectName(name);
        stdy = new TabReadStdyDat(&window);
        unstdy = new TabReadUnstdyDat(&window);
        for (QLineEdit* edit : edits)
            edit->setText("-");
    }
    QString shown() const
    {
        QStringList out;
        for (const QLineEdit* edit : edits)
            out << edit->text();
        return out.join(' ');
    }
};
} // namespace

class TestFileTabs : public QObject
{
    Q_OBJECT

private slots:
    void picksDeriveSendAndShow_data()
    {
        QTest::addColumn<QString>("picks");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("withEdits");
        // Each pick is "<dialog>=<answer>"; an empty answer is a cancelled dialog.
        const auto row = [](const char* name, const char* picks, const char* sent,
                            const char* shown, bool withEdits = true)
        { QTest::newRow(name) << QString(picks) << QString(sent) << QString(shown) << withEdits; };
        row("steady data", "StdyDat=a/f.dat", "a/f.txt|a/f.dat", "a/f.txt a/f.dat - -");
        row("steady header", "StdyHdr=a/f.txt", "a/f.txt|a/f.dat", "a/f.txt a/f.dat - -");
        row("double extension", "StdyHdr=a/x.txt.txt", "a/x.txt.txt|a/x.dat.dat",
            "a/x.txt.txt a/x.dat.dat - -");
        row("upper case kept", "StdyHdr=a/X.TXT", "a/X.TXT|a/X.TXT", "a/X.TXT a/X.TXT - -");
        row("V picked", "UnstdyDat=d/Vf/Vf07.dat", "|d/Vf/Vf07.dat|d/Uf/Uf07.dat",
            "- - - d/Vf/Vf07.dat");
        row("U picked", "UnstdyDat=d/Uf/Uf07.dat", "|d/Uf/Uf07.dat|d/Vf/Vf07.dat",
            "- - - d/Uf/Uf07.dat");
        row("first U wins", "UnstdyDat=Us/Vf/Vf7.dat", "|Us/Vf/Vf7.dat|Vs/Vf/Vf7.dat",
            "- - - Us/Vf/Vf7.dat");
        row("neither", "UnstdyDat=d/f07.dat", "|d/f07.dat|d/f07.dat", "- - - d/f07.dat");
        row("header then data", "UnstdyHdr=h/hd.txt UnstdyDat=h/Uf/Uf01.dat",
            "h/hd.txt||;h/hd.txt|h/Uf/Uf01.dat|h/Vf/Vf01.dat", "- - h/hd.txt h/Uf/Uf01.dat");
        row("cancelled", "UnstdyDat=p/Uf/Uf3.dat UnstdyDat= UnstdyHdr= StdyHdr= StdyDat=",
            "|p/Uf/Uf3.dat|p/Vf/Vf3.dat", "- - - p/Uf/Uf3.dat");
        row("no fields", "StdyDat=a/b.dat UnstdyDat=a/b.dat", "a/b.txt|a/b.dat;|a/b.dat|a/b.dat",
            "", false);
    }

    void picksDeriveSendAndShow()
    {
        QFETCH(QString, picks);
        QFETCH(QString, sent);
        QFETCH(QString, shown);
        QFETCH(bool, withEdits);
        TabHost host(withEdits);
        QString answer;
        const auto dialog = [&](QWidget*, const QString&, const QString&) { return answer; };
        host.stdy->chooseFile = dialog;
        host.unstdy->chooseFile = dialog;
        QStringList received;
        connect(host.stdy, &TabReadStdyDat::stdydirPasstoDataMani, this,
                [&](const QString& h, const QString& d) { received << h + "|" + d; });
        connect(host.unstdy, &TabReadUnstdyDat::unstdydirPasstoDataMani, this,
                [&](const QString& h, const QString& d, const QString& d2)
                { received << h + "|" + d + "|" + d2; });

        for (const QString& pick : picks.split(' '))
        {
            const QString dialogName = pick.section('=', 0, 0);
            answer = pick.section('=', 1);
            if (dialogName == "StdyHdr")
                host.stdy->on_btnOpnStdyHdrDlg();
            else if (dialogName == "StdyDat")
                host.stdy->on_btnOpnStdyDatDlg();
            else if (dialogName == "UnstdyHdr")
                host.unstdy->on_btnOpnUnstdyHdrDlg();
            else
                host.unstdy->on_btnOpnUnstdyDatDlg();
        }
        QCOMPARE(received.join(';'), sent);
        QCOMPARE(host.shown(), shown);
    }

    void windowHandsPickedPathsToTheView()
    {
        MyClass window;
        QCOMPARE(window.ui.leStdyHdrDir->text(),
                 QString("./flow data/stdy flow data/earthquake_100.txt"));
        QCOMPARE(window.ui.leUnstdyDatDir->text(),
                 QString("./flow data/unstdy flow data/Uf/Uf01.dat"));
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
};

QTEST_MAIN(TestFileTabs)
#include "test_fileTabs.moc"

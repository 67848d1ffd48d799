#include "app/tabReadUnstdyDat.h"

#include "data/dataManipulate.h"

#include <QLineEdit>

TabReadUnstdyDat::TabReadUnstdyDat(QWidget* parent)
    : QWidget(parent), chooseFile(TabReadStdyDat::defaultFileChooser())
{
    if (parent)
    {
        leUnstdyHdrDir = parent->findChild<QLineEdit*>("leUnstdyHdrDir");
        leUnstdyDatDir = parent->findChild<QLineEdit*>("leUnstdyDatDir");
        btnOpnUnstdyHdrDlg = parent->findChild<QObject*>("btnOpnUnstdyHdrDlg");
        btnOpnUnstdyDatDlg = parent->findChild<QObject*>("btnOpnUnstdyDatDlg");
        btnconfirmUnstdyFile = parent->findChild<QObject*>("btnconfirmUnstdyFile");
    }
    // Only shown: the path members stay empty until the user picks a file.
    if (leUnstdyHdrDir)
        leUnstdyHdrDir->setText("./flow data/unstdy flow data/header.txt");
    if (leUnstdyDatDir)
        leUnstdyDatDir->setText("./flow data/unstdy flow data/Uf/Uf01.dat");
}

QString TabReadUnstdyDat::otherComponent(const QString& hdrPath, const QString& path)
{
    const QString v = DataManipulate::otherComponentPath(hdrPath, path, 'U', 'V');
    return v != path ? v : DataManipulate::otherComponentPath(hdrPath, path, 'V', 'U');
}

void TabReadUnstdyDat::on_btnOpnUnstdyHdrDlg()
{
    const QString path = chooseFile(this, tr("Open Unsteady Flow Header files"), QString(),
                                    tr("Header files (*.txt);;All Files (*)"));
    if (path.isEmpty())
        return;
    unSteadyHdrPth = path;
    if (leUnstdyHdrDir)
        leUnstdyHdrDir->setText(unSteadyHdrPth);
    emit unstdydirPasstoDataMani(unSteadyHdrPth, unSteadyPth, unSteadyPth2);
}

void TabReadUnstdyDat::on_btnOpnUnstdyDatDlg()
{
    const QString path = chooseFile(this, tr("Open Unsteady Flow Data files"),
                                    TabReadStdyDat::folderOf(leUnstdyHdrDir),
                                    tr("Data files (*.dat);;All Files (*)"));
    if (path.isEmpty())
        return;
    unSteadyPth = path;
    // The user may pick either component; the other one sits beside it with U and V swapped.
    unSteadyPth2 = otherComponent(unSteadyHdrPth, unSteadyPth);
    if (leUnstdyDatDir)
        leUnstdyDatDir->setText(unSteadyPth);
    emit unstdydirPasstoDataMani(unSteadyHdrPth, unSteadyPth, unSteadyPth2);
}

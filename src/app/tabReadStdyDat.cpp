#include "app/tabReadStdyDat.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

TabReadStdyDat::TabReadStdyDat(QWidget* parent) : QWidget(parent), chooseFile(defaultFileChooser())
{
    if (parent)
    {
        leStdyHdrDir = parent->findChild<QLineEdit*>("leStdyHdrDir");
        leStdyDatDir = parent->findChild<QLineEdit*>("leStdyDatDir");
        btnOpnStdyHdrDlg = parent->findChild<QObject*>("btnOpnStdyHdrDlg");
        btnOpnStdyDatDlg = parent->findChild<QObject*>("btnOpnStdyDatDlg");
        btnconfirmStdyFile = parent->findChild<QObject*>("btnconfirmStdyFile");
    }
    if (leStdyHdrDir)
        leStdyHdrDir->setText("./flow data/stdy flow data/earthquake_100.txt");
    if (leStdyDatDir)
        leStdyDatDir->setText("./flow data/stdy flow data/earthquake_100.dat");
}

TabReadStdyDat::FileChooser TabReadStdyDat::defaultFileChooser()
{
    return [](QWidget* owner, const QString& caption, const QString& folder, const QString& filter)
    { return QFileDialog::getOpenFileName(owner, caption, folder, filter); };
}

QString TabReadStdyDat::folderOf(const QLineEdit* path)
{
    return path && !path->text().isEmpty() ? QFileInfo(path->text()).path() : QString();
}

void TabReadStdyDat::on_btnOpnStdyHdrDlg()
{
    const QString hdrPath = chooseFile(this, tr("Open Steady Flow Header file"), QString(),
                                       tr("Header files (*.txt);;All Files (*)"));
    if (hdrPath.isEmpty())
        return;
    announce(hdrPath, QString(hdrPath).replace(".txt", ".dat", Qt::CaseSensitive));
}

void TabReadStdyDat::on_btnOpnStdyDatDlg()
{
    const QString vecPath =
        chooseFile(this, tr("Open Steady Flow Data file"), folderOf(leStdyHdrDir),
                   tr("Data files (*.dat);;All Files (*)"));
    if (vecPath.isEmpty())
        return;
    announce(QString(vecPath).replace(".dat", ".txt", Qt::CaseSensitive), vecPath);
}

void TabReadStdyDat::announce(const QString& hdrPath, const QString& vecPath)
{
    if (leStdyHdrDir)
        leStdyHdrDir->setText(hdrPath);
    if (leStdyDatDir)
        leStdyDatDir->setText(vecPath);
    emit stdydirPasstoDataMani(hdrPath, vecPath);
}

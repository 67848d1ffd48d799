// Controller of the "Unsteady" file tab: shows the unsteady header and first-slice paths, lets
// the user pick the header or a component file (U or V) in a dialog, derives the other
// component's path and announces all three. The widgets belong to the window, found by name.
#pragma once

#include "app/tabReadStdyDat.h"

#include <QString>
#include <QWidget>

class QLineEdit;

class TabReadUnstdyDat : public QWidget
{
    Q_OBJECT

public:
    using FileChooser = TabReadStdyDat::FileChooser;

    explicit TabReadUnstdyDat(QWidget* parent);

    // The other component's file of a picked U or V file of the series under hdrPath.
    static QString otherComponent(const QString& hdrPath, const QString& path);

    QString unSteadyHdrPth;
    QString unSteadyPth;
    QString unSteadyPth2;
    QLineEdit* leUnstdyHdrDir = nullptr;
    QLineEdit* leUnstdyDatDir = nullptr;
    QObject* btnOpnUnstdyHdrDlg = nullptr;
    QObject* btnOpnUnstdyDatDlg = nullptr;
    QObject* btnconfirmUnstdyFile = nullptr;
    FileChooser chooseFile;

signals:
    void unstdydirPasstoDataMani(QString hdrPath, QString vecPath, QString vecPath2);

public slots:
    void on_btnOpnUnstdyHdrDlg();
    void on_btnOpnUnstdyDatDlg();
};

// Controller of the "Steady" file tab: shows the steady header and vector paths, lets the user
// pick either file in a dialog, derives its companion (same name, ".txt" <-> ".dat") and
// announces the pair. The line edits and buttons belong to the window; they are found by name.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLineEdit;

class TabReadStdyDat : public QWidget
{
    Q_OBJECT

public:
    // Runs a modal open-file dialog (parent, caption, start folder, filter) and returns the
    // chosen path, empty when cancelled. Replaceable so that scripted callers need no real
    // dialog.
    using FileChooser =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
    // The folder of the file a line edit names, where its companion is looked for.
    static QString folderOf(const QLineEdit* path);

    explicit TabReadStdyDat(QWidget* parent);

    static FileChooser defaultFileChooser();

    QLineEdit* leStdyHdrDir = nullptr;
    QLineEdit* leStdyDatDir = nullptr;
    QObject* btnOpnStdyHdrDlg = nullptr;
    QObject* btnOpnStdyDatDlg = nullptr;
    QObject* btnconfirmStdyFile = nullptr;
    FileChooser chooseFile;

signals:
    void stdydirPasstoDataMani(QString hdrPath, QString vecPath);

public slots:
    void on_btnOpnStdyHdrDlg();
    void on_btnOpnStdyDatDlg();
    // The confirm button is wired to the view; nothing to do here.
    void on_btnconfirmStdyFile() {}

private:
    void announce(const QString& hdrPath, const QString& vecPath);
};

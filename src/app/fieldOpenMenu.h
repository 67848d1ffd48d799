// Opens field files in the window: the "File" button of the full panel with its menu, the
// Ctrl+O shortcut of both layouts, a file dropped on the view and a file named on the command
// line. Shows the loader's notes or its refusal in the hint line, names the file in the title
// and fits the mark size to the field's width.
#pragma once

#include "app/fieldRequest.h"

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>

class MyClass;
class QAction;
class QPushButton;

class FieldOpenMenu : public QObject
{
    Q_OBJECT

public:
    explicit FieldOpenMenu(MyClass* window);

    static QKeySequence shortcut();

    // Opens path in place of the current field; false when it was refused or cancelled.
    bool openFile(const QString& path);

    // The file dialog and the NetCDF variable dialog; tests put their own answers here.
    std::function<QString()> askPath;
    FieldRequest::Chooser choose;

    QPushButton* btnFile = nullptr; // in the full panel's "More" group
    QAction* actOpen = nullptr;     // on the window, so its shortcut works in both layouts

public slots:
    void openFromDialog();

private:
    void opened(const QString& path, const QString& notes);

    MyClass* window;
};

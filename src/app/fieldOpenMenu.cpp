#include "app/fieldOpenMenu.h"

#include "app/myclass.h"
#include "app/netcdfChoiceDialog.h"
#include "app/panelLayout.h"
#include "common/fieldFit.h"
#include "common/printLine.h"
#include "netcdf/fieldFailure.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

namespace
{
// The loader's notes as one hint line; the batch tool's option to override the scale has no
// counterpart here.
QString hintFromNotes(const QString& notes)
{
    QStringList parts;
    for (QString line : notes.split('\n', Qt::SkipEmptyParts))
    {
        if (line.startsWith("scale: ") && line.contains(" (the 95th"))
            line = line.left(line.indexOf(" (the 95th")) + QObject::tr(" (the import's default)");
        parts << line;
    }
    return parts.join("; ");
}
} // namespace

FieldOpenMenu::FieldOpenMenu(MyClass* mainWindow) : QObject(mainWindow), window(mainWindow)
{
    actOpen = new QAction(tr("Open..."), window);
    actOpen->setObjectName("actOpen");
    actOpen->setShortcut(shortcut());
    window->addAction(actOpen);
    connect(actOpen, &QAction::triggered, this, &FieldOpenMenu::openFromDialog);

    btnFile = new QPushButton(tr("File"), window->ui.groupBox_5);
    btnFile->setObjectName("btnFile");
    btnFile->setGeometry(260, 430, 171, 23);
    auto* menu = new QMenu(btnFile);
    menu->addAction(actOpen);
    btnFile->setMenu(menu);

    askPath = [this]
    {
        return QFileDialog::getOpenFileName(
            window, tr("Open Field"), QString(),
            tr("Fields (*.nc *.nc4 *.cdf *.txt *.dat);;All Files (*)"));
    };
    choose = [this](const FieldRequest::Candidates& candidates, NetcdfField::Selection& selection)
    { return NetcdfChoiceDialog::choose(window, candidates, selection); };
    connect(window->flowView2d, &FlowView::view_fileDropped_msg, this, &FieldOpenMenu::openFile);
}

QKeySequence FieldOpenMenu::shortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_O);
}

void FieldOpenMenu::openFromDialog()
{
    const QString path = askPath();
    if (!path.isEmpty())
        openFile(path);
}

bool FieldOpenMenu::openFile(const QString& path)
{
    QString message;
    try
    {
        const std::optional<FieldOpener::Options> options =
            FieldRequest::options(path.toStdString(), choose);
        if (!options)
        {
            window->showMessage(tr("Opening %1 cancelled").arg(path), false);
            return false;
        }
        if (window->flowView2d->openField(path, *options, message))
        {
            opened(path, message);
            return true;
        }
    }
    catch (const FieldFailure& failure)
    {
        message = QString::fromStdString(failure.what());
    }
    // Said on standard output too, where the loaders' own messages go.
    printLine("%s", message.toLocal8Bit().constData());
    return false;
}

void FieldOpenMenu::opened(const QString& path, const QString& notes)
{
    const QString name = QFileInfo(path).fileName();
    window->setWindowTitle(tr("%1 - Quorvel").arg(name));
    const int3 size = window->flowView2d->dataMani->flowFieldSize;
    window->panelLayout->hSliMarkSize->setValue(FieldFit::markPercent(size.x));
    const QString shape =
        tr("Opened %1: %2 x %3, %4 time step(s)").arg(name).arg(size.x).arg(size.y).arg(size.z);
    const QString details = hintFromNotes(notes);
    window->showMessage(details.isEmpty() ? shape : shape + "; " + details, false);
}

// Helpers for the view's tests: a scratch working directory holding the slice file the view
// loads on every reset, a view that runs extra drawing after its own frame, the pixel over a
// field point, mouse input at field points, and a frame kept where a person can look at it.
#pragma once

#include "view/flowView.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <fstream>
#include <functional>
#include <string>

// The view's GL format is the default before the application object exists.
inline const bool kViewFormatIsDefault = []
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    return true;
}();

// Makes a fresh folder the working directory until the object goes.
class ViewWorkdir
{
public:
    ViewWorkdir() { QDir::setCurrent(dir.path()); }
    ~ViewWorkdir() { QDir::setCurrent(previous); }
    ViewWorkdir(const ViewWorkdir&) = delete;
    ViewWorkdir& operator=(const ViewWorkdir&) = delete;

    // ./data/hurricane_z_8.dat: the size, then the vectors of step t, row j, column i.
    void writeField(int3 size, const std::function<float2(int i, int j, int t)>& vec) const
    {
        std::string bytes(reinterpret_cast<const char*>(&size), sizeof size);
        for (int t = 0; t < size.z; ++t)
            for (int j = 0; j < size.y; ++j)
                for (int i = 0; i < size.x; ++i)
                {
                    const float2 v = vec(i, j, t);
                    bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
                }
        write("data/hurricane_z_8.dat", bytes);
    }
    void write(const QString& name, const std::string& bytes) const
    {
        QDir().mkpath(QFileInfo(name).path());
        std::ofstream(name.toStdString(), std::ios::binary) << bytes;
    }

private:
    QString previous = QDir::currentPath();
    QTemporaryDir dir;
};

class ProbeView : public FlowView
{
public:
    using FlowView::FlowView;
    std::function<void(ProbeView&)> extra;

protected:
    void paintGL() override
    {
        FlowView::paintGL();
        if (extra)
            extra(*this);
    }
};

// The window pixel (y down) over field point (x, y) for the view's current camera.
inline QPoint pixelAt(const FlowView& view, float x, float y)
{
    const float span = 2.0f * view.translateZ;
    const float left = float(view.translateX - view.translateZ);
    const float top = float(view.translateY + view.translateZ);
    return QPoint(int(std::floor((x - left) * view.winWidth / span)),
                  int(std::floor((top - y) * view.winHeight / span)));
}

// Checks each coordinate of p against (x, y) within tol, naming the one that is off.
inline void compareNear(const float2& p, float x, float y, float tol = 1e-3f)
{
    QVERIFY2(std::fabs(p.x - x) <= tol, qPrintable(QString("x is %1, not %2").arg(p.x).arg(x)));
    QVERIFY2(std::fabs(p.y - y) <= tol, qPrintable(QString("y is %1, not %2").arg(p.y).arg(y)));
}

inline void click(FlowView& view, float x, float y, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(&view, button, Qt::NoModifier, pixelAt(view, x, y));
}

// Each case runs in a scratch folder of its own; open() shows a view over the field written
// there. Frames come only from grabFrame(): a failed case keeps its last one in the build's
// Testing/Temporary folder and prints where.
class ViewTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<ViewWorkdir> workdir;
    std::unique_ptr<ProbeView> view;
    QImage lastFrame;

    // A square view; over a uniform field (1, 0) of the given size unless it is empty.
    void open(int3 size, int pixels = 600, bool bShow = true)
    {
        if (size.x > 0)
            workdir->writeField(size, [](int, int, int) { return float2{1.0f, 0.0f}; });
        view = std::make_unique<ProbeView>(nullptr, pixels, pixels);
        view->resize(pixels, pixels);
        if (bShow)
        {
            view->show();
            QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        }
    }
    QImage grabFrame() { return lastFrame = view->grabFramebuffer(); }

private slots:
    void init() { workdir = std::make_unique<ViewWorkdir>(); }
    void cleanup()
    {
        if (QTest::currentTestFailed() && !lastFrame.isNull())
        {
            const QString file = QString(QUORVEL_TEST_OUTPUT "/%1-%2%3.png")
                                     .arg(QCoreApplication::applicationName(),
                                          QTest::currentTestFunction(), QTest::currentDataTag());
            QDir().mkpath(QUORVEL_TEST_OUTPUT);
            qWarning("frame of the failed test: %s", qPrintable(file));
            lastFrame.save(file);
        }
        lastFrame = QImage();
        view.reset();
        workdir.reset(); // restores the working directory
    }
};

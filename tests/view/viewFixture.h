// Helpers for the view's tests: a scratch working directory holding the slice file the view
// loads on every reset, a view that runs extra drawing after its own frame, the pixel over a
// field point, mouse input at field points, and a frame kept where a person can look at it.
#pragma once

#include "view/flowView.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
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

// Makes a fresh folder the working directory until the object goes; with a size it holds
// ./data/hurricane_z_8.dat of that size, filled with the vector (speed, 0).
class ViewWorkdir
{
public:
    ViewWorkdir() { QDir::setCurrent(dir.path()); }
    explicit ViewWorkdir(int3 size, float speed = 1.0f) : ViewWorkdir()
    {
        writeField(size, [speed](int, int, int) { return float2{speed, 0.0f}; });
    }
    ~ViewWorkdir() { QDir::setCurrent(previous); }
    ViewWorkdir(const ViewWorkdir&) = delete;
    ViewWorkdir& operator=(const ViewWorkdir&) = delete;

    // The size, then the vectors of step t, row j, column i.
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

inline QColor colorAt(const QImage& frame, const FlowView& view, float x, float y)
{
    return frame.pixelColor(pixelAt(view, x, y));
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

inline void moveTo(FlowView& view, float x, float y)
{
    const QPointF local = pixelAt(view, x, y);
    QMouseEvent event(QEvent::MouseMove, local, view.mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Grabs the view's frame. When a test fails, cleanup() keeps the last frame grabbed in the
// build's Testing/Temporary folder and prints where.
inline QImage lastFrame;
inline QImage grabFrame(FlowView& view)
{
    return lastFrame = view.grabFramebuffer();
}
inline void keepFrameOfFailure()
{
    if (QTest::currentTestFailed() && !lastFrame.isNull())
    {
        const QString file = QString(QUORVEL_TEST_OUTPUT "/%1-%2%3.png")
                                 .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName(),
                                      QTest::currentTestFunction(), QTest::currentDataTag());
        QDir().mkpath(QUORVEL_TEST_OUTPUT);
        qWarning("frame of the failed test: %s", qPrintable(file));
        lastFrame.save(file);
    }
    lastFrame = QImage();
}

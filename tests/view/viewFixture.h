// Helpers for the view's tests: a working folder holding a small default slice file, and a
// view that runs extra drawing after its own frame.
#pragma once

#include "data/fieldFiles.h"
#include "view/flowView.h"

#include <QDir>
#include <QImage>
#include <functional>

// Makes a temporary folder the working directory; with a size it holds the default slice file
// ./data/hurricane_z_8.dat of that size, filled with the vector (speed, 0).
class WorkingField
{
public:
    WorkingField() : previous(QDir::currentPath()) { QDir::setCurrent(files.path("")); }
    explicit WorkingField(int3 size, float speed = 1.0f) : WorkingField()
    {
        const std::size_t n = std::size_t(size.x) * size.y * size.z;
        files.slice("data/hurricane_z_8.dat", size, std::vector<float2>(n, float2{speed, 0.0f}));
    }
    ~WorkingField() { QDir::setCurrent(previous); }
    WorkingField(const WorkingField&) = delete;
    WorkingField& operator=(const WorkingField&) = delete;

    FieldFiles files;

private:
    QString previous;
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

// The pixel under field point (x, y) for the view's current camera.
inline QColor fieldPixel(const QImage& image, const FlowView& view, float x, float y)
{
    const float left = float(view.translateX - view.translateZ);
    const float top = float(view.translateY + view.translateZ);
    const float span = 2.0f * view.translateZ;
    const int col = int((x - left) / span * view.winWidth);
    const int row = int((top - y) / span * view.winHeight);
    return image.pixelColor(col, row);
}

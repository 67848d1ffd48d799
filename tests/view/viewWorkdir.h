// A temporary working directory holding the slice file the view loads on every reset, so a
// test decides which field the view shows. The previous directory is restored on exit.
#pragma once

#include "common/typeOperations.h"

#include <QColor>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

class ViewWorkdir
{
public:
    ViewWorkdir() : previous(std::filesystem::current_path())
    {
        std::random_device device;
        root =
            std::filesystem::temp_directory_path() / ("quorvel-view-" + std::to_string(device()));
        std::filesystem::create_directories(root / "data");
        std::filesystem::current_path(root);
    }
    ~ViewWorkdir()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }
    ViewWorkdir(const ViewWorkdir&) = delete;
    ViewWorkdir& operator=(const ViewWorkdir&) = delete;

    // Writes ./data/hurricane_z_8.dat: the size, then the vectors of step t, row j, column i.
    void writeField(int3 size, const std::function<float2(int i, int j, int t)>& vec) const
    {
        std::ofstream out(root / "data" / "hurricane_z_8.dat", std::ios::binary);
        out.write(reinterpret_cast<const char*>(&size), sizeof size);
        for (int t = 0; t < size.z; ++t)
            for (int j = 0; j < size.y; ++j)
                for (int i = 0; i < size.x; ++i)
                {
                    const float2 v = vec(i, j, t);
                    out.write(reinterpret_cast<const char*>(&v), sizeof v);
                }
    }

    std::filesystem::path root;

private:
    std::filesystem::path previous;
};

// The framebuffer pixel under field position pos while the camera shows [0, size] in both
// directions (the state after a reset on a square field).
inline QColor pixelAt(const QImage& frame, const float2& pos, float fieldSize)
{
    const int x = int(pos.x / fieldSize * float(frame.width()));
    const int y = frame.height() - 1 - int(pos.y / fieldSize * float(frame.height()));
    return frame.pixelColor(x, y);
}

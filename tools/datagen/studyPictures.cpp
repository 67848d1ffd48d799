// The six pictures of the image questions. Each shows a 100 x 100 flow as grey arrows with
// one red field-line: a streamline and a line across the flow that cannot be one, and, in
// animations of an unsteady flow, a timeline, two streaklines and a pathline.
#include "rasterImage.h"
#include "studyMaterial.h"

#include <cmath>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace
{
constexpr int kPixels = 280;
constexpr double kScale = kPixels / 100.0; // pixels per field unit
constexpr double kPi = 3.14159265358979323846;

const Rgb kWhite{255, 255, 255};
const Rgb kGrey{160, 160, 160};
const Rgb kRed{220, 30, 30};
const Rgb kBlue{40, 70, 220};
const std::vector<Rgb> kPalette{kWhite, kGrey, kRed, kBlue};

struct Vec
{
    double x, y;
};

using Field = std::function<Vec(Vec p, double t)>;

PixelPoint toPixel(Vec p)
{
    return PixelPoint{p.x * kScale, kPixels - p.y * kScale};
}

std::vector<PixelPoint> toPixels(const std::vector<Vec>& points)
{
    std::vector<PixelPoint> pixels;
    for (const Vec& p : points)
        pixels.push_back(toPixel(p));
    return pixels;
}

Vec rk4(const Field& field, Vec p, double t, double h)
{
    const auto at = [&](Vec q, double s, Vec k, double f) {
        return field(Vec{q.x + f * k.x, q.y + f * k.y}, s);
    };
    const Vec k1 = field(p, t);
    const Vec k2 = at(p, t + h / 2, k1, h / 2);
    const Vec k3 = at(p, t + h / 2, k2, h / 2);
    const Vec k4 = at(p, t + h, k3, h);
    return Vec{p.x + h / 6 * (k1.x + 2 * k2.x + 2 * k3.x + k4.x),
               p.y + h / 6 * (k1.y + 2 * k2.y + 2 * k3.y + k4.y)};
}

bool inside(Vec p)
{
    return p.x >= 0 && p.x <= 100 && p.y >= 0 && p.y <= 100;
}

// The positions from seed on, one every `every` time units, while inside the picture.
std::vector<Vec> trace(const Field& field, Vec seed, double t0, double t1, double every)
{
    constexpr double h = 0.1;
    std::vector<Vec> points{seed};
    Vec p = seed;
    const int steps = int(std::lround((t1 - t0) / h));
    const int stride = std::max(1, int(std::lround(every / h)));
    for (int s = 1; s <= steps && inside(p); ++s)
    {
        p = rk4(field, p, t0 + (s - 1) * h, h);
        if (s % stride == 0 || s == steps)
            points.push_back(p);
    }
    return points;
}

Vec advect(const Field& field, Vec seed, double t0, double t1)
{
    return trace(field, seed, t0, t1, t1 - t0 + 1).back();
}

RasterImage arrows(const Field& field, double t)
{
    RasterImage image(kPixels, kPixels, kWhite);
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i)
        {
            const Vec p{5.0 + 10.0 * i, 5.0 + 10.0 * j};
            const Vec v = field(p, t);
            const double len = std::hypot(v.x, v.y);
            if (len < 1e-9)
                continue;
            const double f = 3.2 / len; // arrows 6.4 units long, centred on their point
            image.arrow(toPixel(Vec{p.x - f * v.x, p.y - f * v.y}),
                        toPixel(Vec{p.x + f * v.x, p.y + f * v.y}), kGrey);
        }
    return image;
}

// A current turning around a slow vortex.
Vec steadyFlow(Vec p, double)
{
    const SyntheticFlow swirl = []
    {
        SyntheticFlow f;
        f.currentX = 0.6;
        f.currentY = 0.25;
        f.features = {FlowFeature{55.0, 55.0, 0.0, -0.12, 0.12, 0.0, 30.0}};
        return f;
    }();
    const float2 v = swirl.velocity(p.x, p.y);
    return Vec{v.x, v.y};
}

// A sheared current whose cross-flow swings up and down with a period of 30.
Vec unsteadyFlow(Vec p, double t)
{
    return Vec{0.9 + 0.4 * (p.y - 50.0) / 50.0, 0.6 * std::sin(2.0 * kPi * t / 30.0)};
}

bool writeStreamlinePictures(const fs::path& folder)
{
    const Field steady = steadyFlow;
    RasterImage streamline = arrows(steady, 0.0);
    const Vec seed{4.0, 22.0};
    streamline.polyline(toPixels(trace(steady, seed, 0.0, 300.0, 0.5)), 3.0, kRed);
    streamline.disc(toPixel(seed), 4.0, kBlue);

    // Everywhere across the arrows: no streamline can run like that.
    const Field across = [](Vec p, double t)
    {
        const Vec v = steadyFlow(p, t);
        return Vec{v.y, -v.x};
    };
    RasterImage crossing = arrows(steady, 0.0);
    const Vec start{20.0, 96.0};
    crossing.polyline(toPixels(trace(across, start, 0.0, 300.0, 0.5)), 3.0, kRed);
    crossing.disc(toPixel(start), 4.0, kBlue);
    return crossing.writePng(folder / "1-1.png") && streamline.writeJpeg(folder / "1-2.jpg", 92);
}

constexpr int kFrames = 30;
constexpr double kFrameTime = 2.0;
constexpr int kDelayCs = 10;

bool writeAnimation(const fs::path& file, const std::function<void(RasterImage&, double)>& draw)
{
    std::vector<RasterImage> frames;
    for (int k = 0; k < kFrames; ++k)
    {
        const double t = k * kFrameTime;
        frames.push_back(arrows(unsteadyFlow, t));
        draw(frames.back(), t);
    }
    return RasterImage::writeAnimatedGif(file, frames, kPalette, kDelayCs);
}

// A line of particles that started upright at time 0, carried by the flow.
void drawTimeline(RasterImage& image, double t)
{
    std::vector<Vec> particles;
    for (int i = 0; i <= 20; ++i)
        particles.push_back(advect(unsteadyFlow, Vec{12.0, 20.0 + 3.0 * i}, 0.0, t));
    image.polyline(toPixels(particles), 3.0, kRed);
    for (const Vec& p : particles)
        image.disc(toPixel(p), 2.5, kBlue);
}

// The particles released from seed once per time unit until t, newest first.
void drawStreakline(RasterImage& image, double t, Vec seed)
{
    std::vector<Vec> particles;
    for (double release = t; release >= 0.0; release -= 1.0)
        particles.push_back(advect(unsteadyFlow, seed, release, t));
    image.polyline(toPixels(particles), 3.0, kRed);
    image.disc(toPixel(seed), 4.0, kBlue);
}

// The path of the one particle released from seed at time 0.
void drawPathline(RasterImage& image, double t, Vec seed)
{
    const std::vector<Vec> path = trace(unsteadyFlow, seed, 0.0, t, 0.5);
    image.polyline(toPixels(path), 3.0, kRed);
    image.disc(toPixel(seed), 2.5, kBlue);
    image.disc(toPixel(path.back()), 4.0, kBlue);
}
} // namespace

bool StudyMaterial::writePictures(const fs::path& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    return writeStreamlinePictures(folder) &&
           writeAnimation(folder / "2-1.gif",
                          [](RasterImage& im, double t) {
                              drawStreakline(im, t, Vec{12, 38});
                          }) &&
           writeAnimation(folder / "2-2.gif", drawTimeline) &&
           writeAnimation(folder / "3-1.gif",
                          [](RasterImage& im, double t) {
                              drawPathline(im, t, Vec{12, 50});
                          }) &&
           writeAnimation(folder / "3-2.gif",
                          [](RasterImage& im, double t) {
                              drawStreakline(im, t, Vec{12, 55});
                          });
}

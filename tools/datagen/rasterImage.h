// A small RGB canvas for the study pictures: discs, thick polylines and arrows drawn without
// blending, so every pixel keeps one of the few colours it was drawn with, and writers for
// PNG, JPEG and animated GIF files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

struct Rgb
{
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct PixelPoint
{
    double x, y; // pixels, x to the right, y downwards
};

static_assert(sizeof(Rgb) == 3, "pixels are packed RGB triples");

class RasterImage
{
public:
    RasterImage(int width, int height, Rgb background);

    int width() const { return w; }
    int height() const { return h; }
    Rgb pixel(int x, int y) const { return rgb[std::size_t(y) * w + x]; }

    void disc(PixelPoint c, double radius, Rgb colour);
    void line(PixelPoint a, PixelPoint b, double thickness, Rgb colour);
    void polyline(const std::vector<PixelPoint>& points, double thickness, Rgb colour);
    // A shaft from a to b with two barbs at b.
    void arrow(PixelPoint a, PixelPoint b, Rgb colour);

    // Each returns false and prints the path when the file cannot be written.
    bool writePng(const std::filesystem::path& file) const;
    bool writeJpeg(const std::filesystem::path& file, int quality) const;
    // Frames must share one size and use only the palette's colours (at most 256);
    // delayCs is the time per frame in hundredths of a second. The animation loops forever.
    static bool writeAnimatedGif(const std::filesystem::path& file,
                                 const std::vector<RasterImage>& frames,
                                 const std::vector<Rgb>& palette, int delayCs);

private:
    void set(int x, int y, Rgb colour);

    int w;
    int h;
    std::vector<Rgb> rgb;
};

#include "rasterImage.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <memory>

namespace fs = std::filesystem;

namespace
{
bool report(bool ok, const fs::path& file)
{
    if (!ok)
        std::fprintf(stderr, "quorvel-datagen: cannot write %s\n", file.c_str());
    return ok;
}

// libjpeg reports fatal errors through a callback that must not return.
struct JpegError
{
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};

int paletteIndex(const std::vector<Rgb>& palette, Rgb colour)
{
    const auto found = std::find(palette.begin(), palette.end(), colour);
    return found == palette.end() ? -1 : int(found - palette.begin());
}

bool putGifHeader(GifFileType* gif, int width, int height, const std::vector<Rgb>& palette)
{
    int mapSize = 2;
    while (mapSize < int(palette.size()))
        mapSize *= 2;
    std::vector<GifColorType> colours(mapSize, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < palette.size(); ++i)
        colours[i] = GifColorType{palette[i].r, palette[i].g, palette[i].b};
    ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
    if (!map)
        return false;
    EGifSetGifVersion(gif, true);
    const bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    // The application extension that makes viewers loop the animation forever.
    static const GifByteType netscape[] = "NETSCAPE2.0";
    static const GifByteType loopForever[] = {1, 0, 0};
    return ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, netscape) == GIF_OK &&
           EGifPutExtensionBlock(gif, 3, loopForever) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool putGifFrame(GifFileType* gif, const RasterImage& frame, const std::vector<Rgb>& palette,
                 int delayCs)
{
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delayCs, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, frame.width(), frame.height(), false, nullptr) != GIF_OK)
        return false;
    std::vector<GifPixelType> row(frame.width());
    for (int y = 0; y < frame.height(); ++y)
    {
        for (int x = 0; x < frame.width(); ++x)
        {
            const int index = paletteIndex(palette, frame.pixel(x, y));
            if (index < 0)
                return false;
            row[x] = GifPixelType(index);
        }
        if (EGifPutLine(gif, row.data(), frame.width()) != GIF_OK)
            return false;
    }
    return true;
}
} // namespace

RasterImage::RasterImage(int width, int height, Rgb background)
    : w(width), h(height), rgb(std::size_t(width) * height, background)
{
}

void RasterImage::set(int x, int y, Rgb colour)
{
    if (x >= 0 && x < w && y >= 0 && y < h)
        rgb[std::size_t(y) * w + x] = colour;
}

void RasterImage::disc(PixelPoint c, double radius, Rgb colour)
{
    const int x0 = int(std::floor(c.x - radius)), x1 = int(std::ceil(c.x + radius));
    const int y0 = int(std::floor(c.y - radius)), y1 = int(std::ceil(c.y + radius));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
        {
            const double dx = x + 0.5 - c.x, dy = y + 0.5 - c.y;
            if (dx * dx + dy * dy <= radius * radius)
                set(x, y, colour);
        }
}

// Discs a quarter pixel apart along the segment: slow, but the pictures are small.
void RasterImage::line(PixelPoint a, PixelPoint b, double thickness, Rgb colour)
{
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const int steps = std::max(1, int(std::ceil(length * 4.0)));
    for (int s = 0; s <= steps; ++s)
    {
        const double f = double(s) / steps;
        disc(PixelPoint{a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)}, thickness * 0.5, colour);
    }
}

void RasterImage::polyline(const std::vector<PixelPoint>& points, double thickness, Rgb colour)
{
    for (std::size_t k = 1; k < points.size(); ++k)
        line(points[k - 1], points[k], thickness, colour);
}

void RasterImage::arrow(PixelPoint a, PixelPoint b, Rgb colour)
{
    line(a, b, 1.2, colour);
    // Barbs a third of the shaft long, about 25 degrees off it.
    const double bx = (a.x - b.x) / 3.0, by = (a.y - b.y) / 3.0;
    const double c = 0.906, s = 0.423;
    line(b, PixelPoint{b.x + c * bx - s * by, b.y + s * bx + c * by}, 1.2, colour);
    line(b, PixelPoint{b.x + c * bx + s * by, b.y - s * bx + c * by}, 1.2, colour);
}

bool RasterImage::writePng(const fs::path& file) const
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGB;
    const bool ok =
        png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), 3 * w, nullptr) != 0;
    png_image_free(&image);
    return report(ok, file);
}

bool RasterImage::writeJpeg(const fs::path& file, int quality) const
{
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(file.c_str(), "wb"));
    if (!out)
        return report(false, file);
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = jpegErrorExit;
    if (setjmp(error.jump))
    {
        jpeg_destroy_compress(&info);
        return report(false, file);
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out.get());
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        auto* row = const_cast<JSAMPLE*>(
            reinterpret_cast<const JSAMPLE*>(rgb.data() + std::size_t(info.next_scanline) * w));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return report(std::fflush(out.get()) == 0 && !std::ferror(out.get()), file);
}

bool RasterImage::writeAnimatedGif(const fs::path& file, const std::vector<RasterImage>& frames,
                                   const std::vector<Rgb>& palette, int delayCs)
{
    if (frames.empty() || palette.empty() || palette.size() > 256)
        return report(false, file);
    // Opened here so the file gets the usual permissions; giflib closes the handle.
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0)
        return report(false, file);
    int error = 0;
    GifFileType* gif = EGifOpenFileHandle(fd, &error);
    if (!gif)
    {
        ::close(fd);
        return report(false, file);
    }
    bool ok = putGifHeader(gif, frames[0].width(), frames[0].height(), palette);
    for (std::size_t k = 0; ok && k < frames.size(); ++k)
        ok = frames[k].width() == frames[0].width() && frames[k].height() == frames[0].height() &&
             putGifFrame(gif, frames[k], palette, delayCs);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    return report(ok, file);
}

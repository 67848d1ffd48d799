#include "lic/imgProc.h"

#include "common/inputFile.h"
#include "common/printLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
// The pixel buffer every image read shares. It only grows; a buffer it outgrows is kept, so
// images still pointing into it stay readable instead of dangling.
struct SharedPixels
{
    std::unique_ptr<char[]> current;
    std::size_t capacity = 0;
    std::vector<std::unique_ptr<char[]>> outgrown;
};

char* sharedPixels(std::size_t bytes)
{
    static SharedPixels pixels;
    if (bytes > pixels.capacity)
    {
        // Doubling bounds the memory kept in outgrown buffers by the size of the current one.
        const std::size_t capacity = std::max(bytes, 2 * pixels.capacity);
        if (pixels.current)
        {
            pixels.outgrown.push_back(std::move(pixels.current));
        }
        pixels.current = std::make_unique<char[]>(capacity);
        pixels.capacity = capacity;
    }
    return pixels.current.get();
}

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A decimal integer as "%d" reads it, refusing values that do not fit an int.
bool readDecimal(std::FILE* file, int& value)
{
    int c = std::getc(file);
    while (c != EOF && std::isspace(c))
    {
        c = std::getc(file);
    }
    const bool negative = c == '-';
    if (c == '-' || c == '+')
    {
        c = std::getc(file);
    }
    if (c == EOF || !std::isdigit(c))
    {
        std::ungetc(c, file);
        return false;
    }
    long long magnitude = 0;
    while (c != EOF && std::isdigit(c))
    {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
        {
            return false;
        }
        c = std::getc(file);
    }
    std::ungetc(c, file);
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX)
    {
        return false;
    }
    value = static_cast<int>(signedValue);
    return true;
}

// Consumes characters up to and including the next line feed.
void skipLine(std::FILE* file)
{
    int c = std::getc(file);
    while (c != EOF && c != '\n')
    {
        c = std::getc(file);
    }
}

void skipComments(std::FILE* file)
{
    int c = std::getc(file);
    while (c == '#')
    {
        skipLine(file);
        c = std::getc(file);
    }
    std::ungetc(c, file);
}

// Reads exactly bytes raster bytes. Memory follows what the file holds, not what its header
// claims, so a short file with a huge header costs no huge allocation.
bool readRaster(std::FILE* file, std::size_t bytes, std::vector<char>& raster)
{
    constexpr std::size_t kChunk = std::size_t(1) << 20;
    raster.clear();
    while (raster.size() < bytes)
    {
        const std::size_t offset = raster.size();
        const std::size_t want = std::min(kChunk, bytes - offset);
        raster.resize(offset + want);
        if (std::fread(raster.data() + offset, 1, want, file) != want)
        {
            return false;
        }
    }
    return true;
}
} // namespace

int ImgProc::readPPM(const char* filename, Image* img)
{
    const char* name = filename ? filename : "";
    // A folder opens for reading but yields no line: it is refused here, with the reason.
    const InputFile input(name);
    const File file(input.usable() ? std::fopen(name, "rb") : nullptr);
    if (!file)
    {
        std::fprintf(stderr, "Unable to open file '%s'\n%s: %s\n", name, name,
                     input.usable() ? std::strerror(errno) : input.problem.c_str());
        return 0;
    }
    char magic[16];
    if (!std::fgets(magic, sizeof magic, file.get()))
    {
        // End of file sets no error number: an earlier call's would be reported instead.
        std::fprintf(stderr, "%s: %s\n", name,
                     std::ferror(file.get()) ? std::strerror(errno) : "the file is empty");
        return 0;
    }
    if (magic[0] != 'P' || (magic[1] != '6' && magic[1] != '3'))
    {
        std::fprintf(stderr, "Invalid image format (must be 'P3')\n");
        return 0;
    }
    if (!img)
    {
        std::fprintf(stderr, "Unable to allocate memory\n");
        return 0;
    }
    skipComments(file.get());
    int sizeX = 0;
    int sizeY = 0;
    if (!readDecimal(file.get(), sizeX) || !readDecimal(file.get(), sizeY) || sizeX <= 0 ||
        sizeY <= 0 || static_cast<long long>(sizeX) * sizeY > kMaxPixels)
    {
        std::fprintf(stderr, "Invalid image size (error loading '%s')\n", name);
        return 0;
    }
    int maxValue = 0;
    if (!readDecimal(file.get(), maxValue))
    {
        std::fprintf(stderr, "Invalid rgb component (error loading '%s')\n", name);
        return 0;
    }
    if (maxValue != 255)
    {
        std::fprintf(stderr, "'%s' does not have 8-bits components\n", name);
        return 0;
    }
    skipLine(file.get());

    const std::size_t bytes = std::size_t(sizeX) * std::size_t(sizeY) * 3;
    std::vector<char> raster;
    if (!readRaster(file.get(), bytes, raster))
    {
        std::fprintf(stderr, "Error loading image '%s'\n", name);
        return 0;
    }
    char* pixels = sharedPixels(bytes);
    std::memcpy(pixels, raster.data(), bytes);
    img->sizeX = sizeX;
    img->sizeY = sizeY;
    img->data = pixels;
    return 1;
}

bool ImgProc::SavePPM(const char* ppmFilename, const unsigned char* image_ptr, int image_x,
                      int image_y, bool doLic)
{
    std::FILE* file = std::fopen(ppmFilename, "wb");
    if (!file)
    {
        const int error = errno;
        printLine(" can't open file %s", ppmFilename);
        std::fprintf(stderr, "%s: %s\n", ppmFilename, std::strerror(error));
        return false;
    }
    bool bWritten = std::fprintf(file, "P6\n%d  %d\n%d\n", image_x, image_y, 255) > 0;
    std::vector<unsigned char> row(3 * std::size_t(std::max(image_x, 0)));
    for (int j = 0; j < image_y && bWritten; ++j)
    {
        for (int i = 0; i < image_x; ++i)
        {
            const std::size_t pixel = std::size_t(j) * image_x + i;
            for (int c = 0; c < 3; ++c)
            {
                row[3 * i + c] = doLic ? image_ptr[pixel] : image_ptr[3 * pixel + c];
            }
        }
        bWritten = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    // Buffered bytes reach the disk only on closing, so closing can fail too.
    bWritten = std::fclose(file) == 0 && bWritten;
    if (!bWritten)
        printLine("Cannot write the file %s: %s", ppmFilename, std::strerror(errno));
    return bWritten;
}

int ImgProc::Min_Max(const unsigned long* hist, long* imin, long* imax)
{
    *imin = 256;
    *imax = -1;
    for (long k = 0; k < 256; ++k)
    {
        if (hist[k] != 0)
        {
            *imin = std::min(*imin, k);
            *imax = k;
        }
    }
    return 0;
}

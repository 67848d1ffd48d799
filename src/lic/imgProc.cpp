#include "lic/imgProc.h"

#include "common/inputFile.h"

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

// Consumes characters up to and including the next line feed.
void skipLine(std::FILE* file)
{
    int c = std::getc(file);
    while (c != EOF && c != '\n')
    {
        c = std::getc(file);
    }
}

// Netpbm headers allow white space and "#" comments (to the end of their line) before every
// number.
void skipSpaceAndComments(std::FILE* file)
{
    int c = std::getc(file);
    while (c != EOF && (std::isspace(c) || c == '#'))
    {
        if (c == '#')
        {
            skipLine(file);
        }
        c = std::getc(file);
    }
    std::ungetc(c, file);
}

// A header number: decimal digits, refusing values that do not fit an int.
bool readDecimal(std::FILE* file, int& value)
{
    skipSpaceAndComments(file);
    int c = std::getc(file);
    if (c == EOF || !std::isdigit(c))
    {
        std::ungetc(c, file);
        return false;
    }
    long long magnitude = 0;
    while (c != EOF && std::isdigit(c))
    {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > INT_MAX)
        {
            return false;
        }
        c = std::getc(file);
    }
    std::ungetc(c, file);
    value = static_cast<int>(magnitude);
    return true;
}

// Reads up to bytes raster bytes and returns how many there were. Memory follows what the file
// holds, not what its header claims, so a short file with a huge header costs no huge
// allocation.
std::size_t readRaster(std::FILE* file, std::size_t bytes, std::vector<char>& raster)
{
    constexpr std::size_t kChunk = std::size_t(1) << 20;
    raster.clear();
    while (raster.size() < bytes)
    {
        const std::size_t offset = raster.size();
        const std::size_t want = std::min(kChunk, bytes - offset);
        raster.resize(offset + want);
        const std::size_t got = std::fread(raster.data() + offset, 1, want, file);
        if (got != want)
        {
            return offset + got;
        }
    }
    return bytes;
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
    const int first = std::getc(file.get());
    if (first == EOF)
    {
        // End of file sets no error number: an earlier call's would be reported instead.
        std::fprintf(stderr, "%s: %s\n", name,
                     std::ferror(file.get()) ? std::strerror(errno) : "the file is empty");
        return 0;
    }
    const int second = std::getc(file.get());
    if (first != 'P' || (second != '6' && second != '3'))
    {
        std::fprintf(stderr, "Invalid image format (must be 'P6' or 'P3') (error loading '%s')\n",
                     name);
        return 0;
    }
    if (!img)
    {
        std::fprintf(stderr, "Unable to allocate memory (error loading '%s')\n", name);
        return 0;
    }
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
    // In P6 a single white-space character ends the header and the raster follows; the
    // older P3 files here end the header with the rest of the line.
    if (second == '3')
    {
        skipLine(file.get());
    }
    else if (!std::isspace(std::getc(file.get())))
    {
        std::fprintf(stderr, "No white space after the maximum value (error loading '%s')\n", name);
        return 0;
    }

    const std::size_t bytes = std::size_t(sizeX) * std::size_t(sizeY) * 3;
    std::vector<char> raster;
    const std::size_t got = readRaster(file.get(), bytes, raster);
    if (got != bytes)
    {
        std::fprintf(stderr, "Error loading image '%s': the raster ends after %zu of %zu bytes\n",
                     name, got, bytes);
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
        std::fprintf(stderr, "can't open file %s: %s\n", ppmFilename, std::strerror(errno));
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
        std::fprintf(stderr, "Cannot write the file %s: %s\n", ppmFilename, std::strerror(errno));
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

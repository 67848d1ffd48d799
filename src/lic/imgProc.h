// Reads and writes the binary PPM files that carry LIC images to the view's textures, and
// finds the occupied range of a grey-level histogram.
// Every image read shares one process-wide pixel buffer, so reading an image overwrites the
// pixels of the images read before it.
#pragma once

#include "lic/image.h"

class ImgProc
{
public:
    // Larger images are refused: 2^28 pixels are 768 MiB of raster.
    static constexpr long long kMaxPixels = 1LL << 28;

    // Returns 1 with img pointing at the shared buffer, or 0 after printing the reason on
    // standard error; on failure img and the pixels of earlier images stay as they were.
    int readPPM(const char* filename, Image* img);
    // With doLic the source holds one grey byte per pixel, else 3 bytes (red, green, blue).
    // Returns whether the whole file was written; a failure is reported.
    bool SavePPM(const char* ppmFilename, const unsigned char* image_ptr, int image_x, int image_y,
                 bool doLic);
    // Lowest and highest occupied level of a 256-level histogram (256 and -1 when empty).
    int Min_Max(const unsigned long* hist, long* imin, long* imax);
};

// Line integral convolution of one time step of a 2-D field: white noise smeared with a box
// filter along the local streamline through every pixel, one or more pixels per grid cell,
// written to and read back from PPM files, optionally histogram-equalised on reading.
#pragma once

#include "common/typeOperations.h"
#include "lic/image.h"
#include "lic/imgProc.h"

#include <QString>
#include <memory>
#include <string>
#include <vector>

class LIC
{
public:
    static constexpr int kLUTSize = 2048;
    static constexpr float kKernelLength = 10.0f;
    // Finer images are refused when a side would exceed this: no texture could hold them.
    static constexpr int kMaxSide = 16384;

    explicit LIC(int3 flowFieldSize);

    // Computes the image of a winWidth x winHeight row-major field (row 0 at the bottom) and
    // writes it to filename, or to LICBkImgPth. The image has pixelsPerCell pixels per cell on
    // each axis. Returns whether the file was written; an image that could not be written is
    // what readinLICImage then gives for that name.
    bool GenLICImage(int winWidth, int winHeight, const float2* orgnvectField2d,
                     const char* filename);
    bool GenLICImage(int winWidth, int winHeight, const float2* orgnvectField2d);

    // Continues the never-seeded rand() sequence, one byte per pixel in row-major order.
    void MakeWhiteNoise(int winWidth, int winHeight, unsigned char* pNoise);
    void GenBoxFiltrLUT(int LUTsiz, float* p_LUT0, float* p_LUT1);
    // pVectr holds interleaved x, y components; the LUTs have kLUTSize entries. Rows are
    // shared among threadCount threads; the image does not depend on their number. A kernel
    // length outside 0.001 ... 10^6 (or NaN) gives a black image.
    void FlowImagingLIC(const float* pVectr, const unsigned char* pNoise, unsigned char* pImage,
                        const float* p_LUT0, const float* p_LUT1, float krnlen, int winWidth,
                        int winHeight);
    // Reads imageFileName into tempimage and equalises the pixels read when bHist is set.
    // Returns false, after printing why, when there is no image or the file cannot be read.
    bool readinLICImage(int winWidth, int winHeight, Image* tempimage, bool bHist,
                        const char* imageFileName);
    // Equalises width x height bytes in place; hist receives their histogram.
    int Hist_Eq(unsigned long* hist, unsigned char* img_data, long width, long height);

    std::unique_ptr<ImgProc> imgProc;
    bool doLic = false; // true only while GenLICImage writes its grey-scale file
    QString LICBkImgPth = "./data/LIC.ppm";
    QString LICBkOrgImgPth = "./data/LIC.ppm";
    float p_LUT0[kLUTSize];
    float p_LUT1[kLUTSize];
    std::vector<unsigned char> pNoise;
    std::vector<unsigned char> pImage;
    std::unique_ptr<Image> image;
    std::unique_ptr<Image> histoImg;
    int texImageName = 2011;
    int texHistoImageName = 2012;
    unsigned long hist[256];
    unsigned threadCount = 0; // 0: one thread per core
    // Above 1, the field is sampled bilinearly at every pixel's centre, the noise has the
    // image's resolution and the kernel covers the same field distance as at one pixel per
    // cell, so small grids get streaks instead of blocks. Such images are computed in one
    // thread, with long streamlines that serve every pixel they cross.
    int pixelsPerCell = 1;
    // The vector units the convolution runs on; all give the same bytes. Avx2 falls back to
    // Sse2 on a processor without it, Fastest takes Avx2 where it can.
    enum class Kernel
    {
        Fastest,
        Sse2,
        Avx2
    };
    Kernel kernel = Kernel::Fastest;

private:
    void readUnsavedImage(Image* tempimage);

    std::string unsavedImgPth; // the last image computed, when its file could not be written
    Image unsavedImage;
    std::vector<unsigned char> unsavedGrey;
    std::vector<char> unsavedRgb;
};

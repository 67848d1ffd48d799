// Line integral convolution of whole image rows on the processor's vector units: four
// streamlines per register with SSE2, which every x86-64 processor has, or eight with AVX2
// where the processor has it. Each lane does exactly the single-precision operations of a
// lone streamline, in the same order, so every path gives the same bytes.
#pragma once

struct LicRows
{
    LicRows(const float* vectors, const unsigned char* noise, const float* lut0, const float* lut1,
            float kernel, int w, int h);

    const float* pVectr;         // interleaved x, y components, row-major
    const unsigned char* pNoise; // one byte per pixel
    const float* wgtLUT[2];      // accumulated weight tables, downstream and upstream
    // Whether a table holds its own index, as the box filter's do: then the index is the weight.
    bool bIndexWeights[2];
    float krnlen;
    int width;
    int height;

    static bool avx2Supported();
    // Rows firstRow .. endRow - 1 into pImage, which holds the whole image.
    void convolveSse2(int firstRow, int endRow, unsigned char* pImage) const;
    void convolveAvx2(int firstRow, int endRow, unsigned char* pImage) const;
};

// Box-filter line integral convolution that traces one long streamline for many pixels: the
// noise integral along it is summed once, and every pixel it crosses takes the kernel's mean
// centred where the streamline crosses it. Pixels crossed by several streamlines average them.
#pragma once

#include <vector>

class StreamlineLic
{
public:
    // pVectr holds interleaved x, y components, row-major; krnlen is the kernel's half length
    // in the field's time units, as for the per-pixel convolution.
    StreamlineLic(const float* pVectr, const unsigned char* pNoise, float krnlen, int width,
                  int height);

    // Fills pImage with width x height bytes: zero (or non-finite) vectors black. One thread
    // in row-major order, so the bytes never depend on the machine.
    void convolve(unsigned char* pImage);

private:
    struct Segment
    {
        float t0; // time at its start along the streamline
        float t1;
        float noise;
        int pixel; // where its middle lies
    };

    bool flowAt(float x, float y, float& vx, float& vy) const;
    // Segments from the centre of pixel (i, j) up to the time limit, downstream (dir 1) or
    // upstream (dir -1), ordered outwards; returns whether the streamline ended on its own.
    bool trace(int i, int j, float dir, std::vector<Segment>& out) const;
    void seed(int i, int j);
    // The kernel's mean at time tc over the joined segments, cut at the streamline's ends.
    float meanAround(float tc, std::size_t& lo, std::size_t& hi) const;

    const float* vectors;
    const unsigned char* noise;
    float kernel;
    float limit; // how far a streamline is traced each way
    int width;
    int height;
    std::vector<Segment> down;
    std::vector<Segment> up;
    std::vector<Segment> line;    // upstream end first, times increasing
    std::vector<double> integral; // noise integral up to each segment's start
    std::vector<float> sum;
    std::vector<int> hits;
};

// The user-study material under exam/: the six pictures of the image questions and the two
// steady data sets of the critical point questions, whose critical points sit at the
// quiz's normalised answer positions with the types its answers name.
#pragma once

#include "syntheticFlow.h"

#include <filesystem>

namespace StudyMaterial
{
constexpr int kClassifySize = 500; // hurricane_z49_t0: 500 x 500, one step
constexpr int kLocateSize = 100;   // syn0001_100: 100 x 100, one step

// The flows sampled into the two data sets, in grid units.
SyntheticFlow classifyFlow();
float2 locateVelocity(double x, double y);

// Writes exam/1-1.png ... exam/3-2.gif and the steady pairs <stem>.txt / <stem>.dat of
// hurricane_z49_t0 and syn0001_100 into folder. False when a file cannot be written.
bool write(const std::filesystem::path& folder);
bool writePictures(const std::filesystem::path& folder);
} // namespace StudyMaterial

// Makes the default data sets and writes them in the loader's file formats: the binary slice
// file, a steady header/vector pair and an unsteady header with per-step U/V component volumes;
// and a NetCDF file of winds to import.
#pragma once

#include <filesystem>

class DataManipulate;

namespace DatasetWriter
{
// Loads the default 500 x 500 x 48 hurricane field into memory, as the slice file holds it.
void fillHurricane(DataManipulate& data);

// Each returns false and prints the path when a file cannot be written.
bool writeHurricaneSlices(const std::filesystem::path& file);
// STEM.txt and STEM.dat.
bool writeEarthquakeSteady(const std::filesystem::path& stem);
bool writeHurricaneUnsteady(const std::filesystem::path& folder);
// The LIC image of the steady field, which the view shows as its background.
bool writeEarthquakeLic(const std::filesystem::path& image);
// A small NetCDF file to try the import on: 12 monthly steps of global 2.5-degree winds, land
// as fill values, latitudes from the north.
bool writeWindsNetcdf(const std::filesystem::path& file);
} // namespace DatasetWriter

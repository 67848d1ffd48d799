// An RGB image as the PPM reader delivers it: sizeX x sizeY pixels of 3 bytes (red, green,
// blue), row-major in file order. The record owns nothing: data points into the reader's
// shared pixel buffer.
#pragma once

struct Image
{
    int sizeX = 0;
    int sizeY = 0;
    char* data = nullptr;
};

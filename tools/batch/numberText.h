// Numbers in the batch results: the shortest text that reads back as the same float, "null"
// where there is no finite value.
#pragma once

#include <charconv>
#include <cmath>
#include <string>

inline std::string numberText(float value)
{
    if (!std::isfinite(value))
        return "null";
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

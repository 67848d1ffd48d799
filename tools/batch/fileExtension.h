// A result file's extension in lower case: ".PNG" and ".png" alike name a PNG image.
#pragma once

#include <cctype>
#include <filesystem>
#include <string>

inline std::string lowerExtension(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

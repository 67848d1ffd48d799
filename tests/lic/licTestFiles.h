// Scratch files for the image tests: one fresh directory per test, unique to this run so that
// concurrent runs never share it, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class ScratchDir : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-lic-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Writes bytes to a new file of the directory and returns its path.
    std::string write(const std::string& bytes)
    {
        const auto file = dir / ("f" + std::to_string(++files) + ".ppm");
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }
    static std::string contents(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path dir;
    int files = 0;
};

// Writes small field files into a temporary folder that is removed with the object.
#pragma once

#include "common/typeOperations.h"

#include <QString>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

class FieldFiles
{
public:
    FieldFiles() { std::filesystem::create_directories(root); }
    ~FieldFiles() { std::filesystem::remove_all(root); }
    FieldFiles(const FieldFiles&) = delete;
    FieldFiles& operator=(const FieldFiles&) = delete;

    QString path(const std::string& name) const
    {
        return QString::fromStdString((root / name).string());
    }

    void text(const std::string& name, const std::string& content) const { binary(name, content); }
    // The bytes of a string or a vector, in a file whose folders are made as needed.
    template <typename T> void binary(const std::string& name, const T& values) const
    {
        const auto file = root / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(values.data()),
                   std::streamsize(values.size() * sizeof(values[0])));
    }

    std::string bytes(const std::string& name) const
    {
        std::ifstream in(root / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // A binary slice file: the 12-byte size followed by the samples.
    void slice(const std::string& name, int3 size, const std::vector<float2>& samples) const
    {
        std::string bytes(reinterpret_cast<const char*>(&size), sizeof size);
        for (const float2& s : samples)
            bytes.append(reinterpret_cast<const char*>(&s), sizeof s);
        binary(name, bytes);
    }

    const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                       ("quorvel-test-" + std::to_string(std::random_device()()));
};

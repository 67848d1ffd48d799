// Writes small field files into a temporary folder that is removed with the object.
#pragma once

#include "common/typeOperations.h"

#include <QString>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class FieldFiles
{
public:
    FieldFiles()
    {
        std::random_device device;
        root =
            std::filesystem::temp_directory_path() / ("quorvel-test-" + std::to_string(device()));
        std::filesystem::create_directories(root);
    }
    ~FieldFiles() { std::filesystem::remove_all(root); }
    FieldFiles(const FieldFiles&) = delete;
    FieldFiles& operator=(const FieldFiles&) = delete;

    QString path(const std::string& name) const
    {
        return QString::fromStdString((root / name).string());
    }

    void text(const std::string& name, const std::string& content) const
    {
        const auto file = root / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << content;
    }

    template <typename T> void binary(const std::string& name, const std::vector<T>& values) const
    {
        const auto file = root / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
    }

    // A binary slice file: the 12-byte size followed by the samples.
    void slice(const std::string& name, int3 size, const std::vector<float2>& samples) const
    {
        std::vector<char> bytes(sizeof size + samples.size() * sizeof(float2));
        std::memcpy(bytes.data(), &size, sizeof size);
        if (!samples.empty())
            std::memcpy(bytes.data() + sizeof size, samples.data(),
                        samples.size() * sizeof(float2));
        binary(name, bytes);
    }

    std::filesystem::path root;
};

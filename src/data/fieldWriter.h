// Writes a vector field in the loader's three file formats -- a steady header with its vector
// file, an unsteady header with per-step U/V component volumes, or a binary slice file -- one
// time step at a time. Files are written under temporary names and take their real names only
// when the whole field has been written, so a failed or abandoned write leaves no output.
// Zeros in unsteady component files are left as holes in sparse files.
#pragma once

#include "common/typeOperations.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class FieldWriter
{
public:
    enum class Format
    {
        Steady,   // target is the stem: STEM.txt and STEM.dat; one time step
        Unsteady, // target is the folder: header.txt, Uf/UfNN.dat, Vf/VfNN.dat
        Slice     // target is the binary slice file
    };

    // size: width, height and time steps; depth: levels per unsteady component file.
    FieldWriter(Format format, std::filesystem::path target, int3 size, int depth = 1);
    ~FieldWriter();
    FieldWriter(const FieldWriter&) = delete;
    FieldWriter& operator=(const FieldWriter&) = delete;

    // Appends the next time step: depth x height x width samples, level after level, rows from
    // the bottom, x fastest. False once anything failed.
    bool writeStep(const float2* samples);
    // Appends the next count samples in that order: a step may come in pieces, so that no
    // plane is held whole.
    bool writeSamples(const float2* samples, std::size_t count);
    // Gives every file its real name after all announced steps were written.
    bool commit();
    // Why writing failed (the first failure), naming the file.
    const std::string& error() const { return message; }

private:
    struct Staged
    {
        std::filesystem::path temporary;
        std::filesystem::path final;
    };
    std::ofstream& open(std::ofstream& out, const std::filesystem::path& final);
    bool fail(const std::filesystem::path& file, const std::string& why);
    std::size_t stepSize() const;
    void openComponentFiles();
    void writeComponents(const float2* samples, std::size_t count);
    void closeComponentFiles();
    std::filesystem::path stagedPath(const std::filesystem::path& final) const;

    Format format;
    std::filesystem::path target;
    std::filesystem::path stagingFolder; // unsteady output is built here, then moved
    int3 size;
    int depth;
    int stepsWritten = 0;
    std::size_t stepPosition = 0; // samples of the current step written
    bool committed = false;
    std::ofstream data; // the steady vector file or the slice file
    std::vector<Staged> staged;
    std::ofstream components[2]; // the U and V files of the current unsteady step
    Staged componentFiles[2];
    std::vector<float> component;
    std::string message;
};

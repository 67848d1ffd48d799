#include "data/fieldWriter.h"

#include "data/dataManipulate.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
template <typename T> void writeValues(std::ofstream& out, const T* values, std::size_t count)
{
    out.write(reinterpret_cast<const char*>(values), std::streamsize(count * sizeof(T)));
}

// The loader's step numbering: 01 ... 09, 10, ..., 100, ...
std::string stepName(const char* prefix, int step)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d.dat", prefix, step);
    return name;
}

// The product of the factors, or -1 when one is not positive or the product passes the
// limit; checked factor by factor, so it never overflows.
std::int64_t boundedProduct(std::initializer_list<int> factors)
{
    std::int64_t product = 1;
    for (const int factor : factors)
    {
        if (factor <= 0 || factor > DataManipulate::kMaxSamples)
            return -1;
        product *= factor;
        if (product > DataManipulate::kMaxSamples)
            return -1;
    }
    return product;
}

// "out/" names the folder out: its staging folder is out.partial beside it, not inside it.
fs::path withoutTrailingSlash(fs::path path)
{
    return path.has_filename() || !path.has_parent_path() ? path : path.parent_path();
}
} // namespace

FieldWriter::FieldWriter(Format fmt, fs::path targetPath, int3 fieldSize, int levels)
    : format(fmt), target(withoutTrailingSlash(std::move(targetPath))), size(fieldSize),
      depth(levels)
{
    if (boundedProduct({size.x, size.y, size.z, depth}) < 0 ||
        (format == Format::Steady && size.z != 1))
    {
        fail(target, "a field of this size cannot be written");
        return;
    }
    // Every format is written into an existing folder; none is made for it.
    const fs::path parent = target.parent_path();
    if (!parent.empty() && !fs::is_directory(parent))
    {
        fail(target, "the folder " + parent.string() + " does not exist");
        return;
    }
    if (format == Format::Unsteady)
    {
        stagingFolder = target;
        stagingFolder += ".partial";
        std::error_code ignored;
        fs::remove_all(stagingFolder, ignored);
        std::ofstream header;
        open(header, target / "header.txt")
            << "3 1 " << size.x << ' ' << size.y << ' ' << depth << ' ' << size.z << '\n';
        if (!header.flush())
            fail(target / "header.txt", std::strerror(errno));
    }
    else if (format == Format::Steady)
    {
        fs::path header = target, vectors = target;
        header += ".txt";
        vectors += ".dat";
        std::ofstream out;
        open(out, header) << size.x << ' ' << size.y << " 1\n";
        if (!out.flush())
            fail(header, std::strerror(errno));
        open(data, vectors);
    }
    else
        writeValues(open(data, target), &size, 1);
}

FieldWriter::~FieldWriter()
{
    if (committed)
        return;
    data.close();
    std::error_code ignored;
    if (format == Format::Unsteady)
        fs::remove_all(stagingFolder, ignored);
    else
        for (const Staged& file : staged)
            fs::remove(file.temporary, ignored);
}

fs::path FieldWriter::stagedPath(const fs::path& final) const
{
    if (format == Format::Unsteady)
        return stagingFolder / final.lexically_relative(target);
    fs::path temporary = final;
    return temporary += ".partial";
}

std::ofstream& FieldWriter::open(std::ofstream& out, const fs::path& final)
{
    const fs::path temporary = stagedPath(final);
    std::error_code ignored;
    if (format == Format::Unsteady)
        fs::create_directories(temporary.parent_path(), ignored);
    out.open(temporary, std::ios::binary | std::ios::trunc);
    staged.push_back(Staged{temporary, final});
    if (!out)
        fail(final, std::strerror(errno));
    return out;
}

bool FieldWriter::fail(const fs::path& file, const std::string& why)
{
    if (message.empty())
        message = "cannot write " + file.string() + ": " + why;
    return false;
}

bool FieldWriter::writeStep(const float2* samples)
{
    return writeSamples(samples, stepSize());
}

std::size_t FieldWriter::stepSize() const
{
    return std::size_t(size.x) * size.y * (format == Format::Unsteady ? depth : 1);
}

bool FieldWriter::writeSamples(const float2* samples, std::size_t count)
{
    while (count > 0 && message.empty())
    {
        if (stepPosition == 0 && stepsWritten >= size.z)
            return fail(target, "more time steps than announced");
        if (stepPosition == 0 && format == Format::Unsteady)
            openComponentFiles();
        const std::size_t n = std::min(count, stepSize() - stepPosition);
        if (format == Format::Unsteady)
            writeComponents(samples, n);
        else if (format == Format::Steady)
        {
            std::vector<float3> records(n);
            for (std::size_t k = 0; k < n; ++k)
                records[k] = makeFloat3(samples[k].x, samples[k].y, 0.0f);
            writeValues(data, records.data(), n);
        }
        else
            writeValues(data, samples, n);
        if (format != Format::Unsteady && !data)
            fail(staged.back().final, std::strerror(errno));
        samples += n;
        count -= n;
        stepPosition += n;
        if (stepPosition == stepSize())
        {
            stepPosition = 0;
            ++stepsWritten;
            if (format == Format::Unsteady)
                closeComponentFiles();
        }
    }
    return message.empty();
}

void FieldWriter::openComponentFiles()
{
    for (int c = 0; c < 2; ++c)
    {
        const char* prefix = c == 0 ? "Uf" : "Vf";
        open(components[c], target / prefix / stepName(prefix, stepsWritten + 1));
        componentFiles[c] = staged.back();
    }
}

void FieldWriter::writeComponents(const float2* samples, std::size_t n)
{
    component.resize(n);
    for (int c = 0; c < 2; ++c)
    {
        for (std::size_t k = 0; k < n; ++k)
            component[k] = c == 0 ? samples[k].x : samples[k].y;
        // Zeros are skipped: the file keeps a hole there, which reads as zeros and takes no
        // room on disk.
        if (std::all_of(component.begin(), component.end(),
                        [](float value) { return std::bit_cast<std::uint32_t>(value) == 0; }))
            continue;
        components[c].seekp(std::streamoff(stepPosition * sizeof(float)));
        writeValues(components[c], component.data(), n);
        if (!components[c])
            fail(componentFiles[c].final, std::strerror(errno));
    }
}

// Each file gets its full length, whatever zeros at its end were skipped.
void FieldWriter::closeComponentFiles()
{
    for (int c = 0; c < 2; ++c)
    {
        components[c].close();
        if (components[c].fail())
        {
            fail(componentFiles[c].final, std::strerror(errno));
            continue;
        }
        std::error_code error;
        fs::resize_file(componentFiles[c].temporary, stepSize() * sizeof(float), error);
        if (error)
            fail(componentFiles[c].final, error.message());
    }
}

bool FieldWriter::commit()
{
    if (!message.empty())
        return false;
    if (stepsWritten != size.z)
        return fail(target, "only " + std::to_string(stepsWritten) + " of " +
                                std::to_string(size.z) + " time steps were written");
    if (data.is_open())
    {
        data.close();
        if (data.fail())
            return fail(staged.back().final, std::strerror(errno));
    }
    std::error_code error;
    if (format == Format::Unsteady && !fs::exists(target))
        fs::rename(stagingFolder, target, error);
    else
        for (const Staged& file : staged)
        {
            if (format == Format::Unsteady)
                fs::create_directories(file.final.parent_path(), error);
            if (!error)
                fs::rename(file.temporary, file.final, error);
            if (error)
                return fail(file.final, error.message());
        }
    if (error)
        return fail(target, error.message());
    committed = true;
    if (format == Format::Unsteady)
        fs::remove_all(stagingFolder, error);
    return true;
}

// A result file written under a temporary name and renamed to its real one only when complete,
// so a failed job never leaves a partial result behind.
#pragma once

#include <filesystem>

class StagedFile
{
public:
    explicit StagedFile(std::filesystem::path final);
    // Removes the temporary file unless commit renamed it.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::filesystem::path& path() const { return temporary; }
    // Renames when written, else (or when renaming fails) throws a bad-input BatchFailure.
    void commit(bool written) const;

private:
    std::filesystem::path target;
    std::filesystem::path temporary;
};

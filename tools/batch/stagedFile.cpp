#include "stagedFile.h"

#include "batchFailure.h"

#include <system_error>

namespace fs = std::filesystem;

StagedFile::StagedFile(fs::path final) : target(std::move(final)), temporary(target)
{
    temporary += ".partial";
}

StagedFile::~StagedFile()
{
    std::error_code ignored;
    fs::remove(temporary, ignored);
}

void StagedFile::commit(bool written) const
{
    std::error_code error;
    if (written)
        fs::rename(temporary, target, error);
    if (!written || error)
        throw BatchFailure::badInput("cannot write " + target.string());
}
